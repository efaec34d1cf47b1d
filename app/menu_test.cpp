#include "app/menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace companion {
namespace {

// One line per item: "---" for a separator, "label|id" for a command with " [x]" when checked and
// " [grayed]" when grayed, ">label (count)" for a submenu. Only "Settings" is opened (indented by
// two spaces); the choice submenus are checked case by case below.
std::u16string Outline(const std::vector<MenuItem>& items, const std::u16string& indent = u"") {
  std::u16string out;
  for (const MenuItem& item : items) {
    out += indent;
    const auto decimal = [](size_t n) {
      const std::string digits = std::to_string(n);
      return std::u16string(digits.begin(), digits.end());
    };
    if (item.kind == MenuItemKind::Separator) {
      out += u"---\n";
    } else if (item.kind == MenuItemKind::Submenu) {
      out += u">" + item.label + u" (" + decimal(item.submenu.size()) + u")\n";
      if (item.label == u"Settings") out += Outline(item.submenu, indent + u"  ");
    } else {
      out += item.label + u"|" + decimal(item.id) + (item.checked ? u" [x]" : u"") +
             (item.grayed ? u" [grayed]" : u"") + u"\n";
    }
  }
  return out;
}

// The item of that label at the top level or one level down.
const MenuItem& Find(const std::vector<MenuItem>& items, std::u16string_view label) {
  for (const MenuItem& item : items) {
    if (item.label == label) return item;
    for (const MenuItem& inner : item.submenu) {
      if (inner.label == label) return inner;
    }
  }
  static const MenuItem none{};
  ADD_FAILURE() << "no item of that label";
  return none;
}

std::vector<uint32_t> CheckedIds(const std::vector<MenuItem>& menu, std::u16string_view label) {
  std::vector<uint32_t> ids;
  for (const MenuItem& item : Find(menu, label).submenu) {
    if (item.checked) ids.push_back(item.id);
  }
  return ids;
}

TEST(ContextMenuModel, WholeMenuForAFreshCompanion) {
  MenuInputs in;
  in.monitors = {{true, true}, {false, false}};
  EXPECT_EQ(Outline(ContextMenuModel(in)),
            u"Give me a Scripture|100\n"
            u"Previous Scripture|111 [grayed]\n"
            u">Character size (3)\n"
            u"Copy current Scripture|107 [grayed]\n"
            u"---\n"
            u"Pause character and prompts|101\n"
            u">Settings (10)\n"
            u"  Younger character (motion preview)|108 [x]\n"
            u"  Original character (full motion)|109\n"
            u"  Return to taskbar|110\n"
            u"  Character movement|102 [x]\n"
            u"  Start with Windows|103\n"
            u"  >Display time (seconds) (9)\n"
            u"  >Gap after each Scripture (8)\n"
            u"  >Bible translation (online) (5)\n"
            u"  Support Scrollwick|106\n"
            u"  >Companion display (2)\n"
            u"---\n"
            u"Visit Scrollwick|104\n"
            u"Exit|105\n");
}

TEST(ContextMenuModel, ToggledStatesAreCheckedAndCopyEnabledWithAScripture) {
  MenuInputs in;
  in.paused = true;
  in.movementEnabled = false;
  in.younger = false;
  in.startWithWindows = true;
  in.hasCurrentScripture = true;
  const std::vector<MenuItem> menu = ContextMenuModel(in);
  EXPECT_TRUE(Find(menu, u"Pause character and prompts").checked);
  EXPECT_FALSE(Find(menu, u"Character movement").checked);
  EXPECT_FALSE(Find(menu, u"Younger character (motion preview)").checked);
  EXPECT_TRUE(Find(menu, u"Original character (full motion)").checked);
  EXPECT_TRUE(Find(menu, u"Start with Windows").checked);
  EXPECT_FALSE(Find(menu, u"Copy current Scripture").grayed);
}

TEST(ContextMenuModel, ChoiceSubmenusCheckOnlyTheMatchingEntry) {
  struct Case {
    int32_t size, gap, translation, display;
    std::vector<uint32_t> sizeIds, gapIds, translationIds, displayIds;
  };
  const Case kCases[] = {
      {1, 60, 0, 10, {501}, {302}, {600}, {701}},  // a fresh companion
      {3, 0, 4, 5, {503}, {300}, {604}, {700}},
      {2, 3600, 2, 300, {502}, {307}, {602}, {707}},
      {4, 45, 5, 45, {}, {}, {}, {}},  // values outside the choices; never the custom item
      {0, 30, -1, 600, {}, {301}, {}, {}},
  };
  for (const Case& c : kCases) {
    MenuInputs in;
    in.sizeMultiple = c.size;
    in.gapSeconds = c.gap;
    in.translationIndex = c.translation;
    in.displaySeconds = c.display;
    const std::vector<MenuItem> menu = ContextMenuModel(in);
    const std::vector<MenuItem>& settings = Find(menu, u"Settings").submenu;
    EXPECT_EQ(CheckedIds(menu, u"Character size"), c.sizeIds) << c.size;
    EXPECT_EQ(CheckedIds(settings, u"Gap after each Scripture"), c.gapIds) << c.gap;
    EXPECT_EQ(CheckedIds(settings, u"Bible translation (online)"), c.translationIds)
        << c.translation;
    EXPECT_EQ(CheckedIds(settings, u"Display time (seconds)"), c.displayIds) << c.display;
    const MenuItem& custom = Find(settings, u"Display time (seconds)").submenu.back();
    EXPECT_EQ(custom.id, kCommandCustomDisplayTime);
    const std::string seconds = std::to_string(c.display);
    EXPECT_EQ(custom.label,
              u"Custom\u2026 (" + std::u16string(seconds.begin(), seconds.end()) + u" seconds)");
  }
}

TEST(ContextMenuModel, PreviousScriptureFollowsHistoryBubbleAndSupportMessage) {
  struct Case {
    int32_t historyIndex;
    bool bubbleVisible, supportPromptShown, enabled;
  };
  const Case kCases[] = {
      {-1, false, false, false},  // nothing shown yet
      {-1, true, true, false},    // only the support message so far
      {0, true, false, false},    // the one entry is on screen
      {0, false, false, true},    // its bubble is gone: show it again
      {0, true, true, true},      // the support message covers it
      {1, true, false, true},     // an older entry to step back to
      {5, false, false, true},
  };
  for (const Case& c : kCases) {
    MenuInputs in;
    in.historyIndex = c.historyIndex;
    in.bubbleVisible = c.bubbleVisible;
    in.supportPromptShown = c.supportPromptShown;
    EXPECT_EQ(Find(ContextMenuModel(in), u"Previous Scripture").grayed, !c.enabled)
        << c.historyIndex << " " << c.bubbleVisible << " " << c.supportPromptShown;
  }
}

TEST(ContextMenuModel, DisplaysAreNumberedFromOneWithThePrimaryMarked) {
  MenuInputs in;
  EXPECT_TRUE(
      Find(Find(ContextMenuModel(in), u"Settings").submenu, u"Companion display").submenu.empty());
  in.monitors = {{false, false}, {false, true}, {true, false}};
  const std::vector<MenuItem> expected = {
      {MenuItemKind::Command, u"Display 1", 400, false, false, {}},
      {MenuItemKind::Command, u"Display 2", 401, true, false, {}},
      {MenuItemKind::Command, u"Display 3 (primary)", 402, false, false, {}},
  };
  EXPECT_EQ(Find(Find(ContextMenuModel(in), u"Settings").submenu, u"Companion display").submenu,
            expected);
}

TEST(ClipboardScriptureText, VerseThenReferenceAndCode) {
  EXPECT_EQ(ClipboardScriptureText(u"\u201CPeace.\u201D", u"Psalm 4:8", u"darby"),
            u"\u201CPeace.\u201D\r\nPsalm 4:8 (darby)");
}

TEST(IsAcceptedDisplayTime, OneToSixHundred) {
  EXPECT_FALSE(IsAcceptedDisplayTime(true, 0));
  EXPECT_TRUE(IsAcceptedDisplayTime(true, 1));
  EXPECT_TRUE(IsAcceptedDisplayTime(true, 600));
  EXPECT_FALSE(IsAcceptedDisplayTime(true, 601));
  EXPECT_FALSE(IsAcceptedDisplayTime(true, 4294967295u));
  EXPECT_FALSE(IsAcceptedDisplayTime(false, 30));  // an empty or unreadable field
}

TEST(DecodeMenuCommand, GroupsAndValuesUpToEachBoundary) {
  using G = MenuCommandGroup;
  const std::pair<uint32_t, MenuCommand> kCases[] = {
      {99, {G::Unknown, 0}},      {100, {G::Single, 100}},     {112, {G::Single, 112}},
      {113, {G::Unknown, 0}},     {299, {G::Unknown, 0}},      {300, {G::Gap, 0}},
      {301, {G::Gap, 30}},        {307, {G::Gap, 3600}},       {308, {G::Unknown, 0}},
      {400, {G::Monitor, 0}},     {499, {G::Monitor, 99}},     {500, {G::Unknown, 0}},
      {501, {G::Size, 1}},        {503, {G::Size, 3}},         {504, {G::Unknown, 0}},
      {600, {G::Translation, 0}}, {604, {G::Translation, 4}},  {605, {G::Unknown, 0}},
      {700, {G::DisplayTime, 5}}, {704, {G::DisplayTime, 30}}, {707, {G::DisplayTime, 300}},
      {708, {G::Unknown, 0}},
  };
  for (const auto& [id, expected] : kCases) {
    EXPECT_EQ(DecodeMenuCommand(id), expected) << id;
  }
}

TEST(IdleActionTickAfterMenu, OneToTwoMinutesAhead) {
  std::mt19937 random(7);
  uint64_t lowest = UINT64_MAX, highest = 0;
  for (int i = 0; i < 20000; ++i) {
    const uint64_t delay = IdleActionTickAfterMenu(1000000, random) - 1000000;
    lowest = std::min(lowest, delay);
    highest = std::max(highest, delay);
  }
  // Both ends are reached, neither is passed.
  EXPECT_GE(lowest, 60000u);
  EXPECT_LT(lowest, 60100u);
  EXPECT_LE(highest, 120000u);
  EXPECT_GT(highest, 119900u);
}

TEST(FreePlacementShift, ScaleDifferenceTimesHalfWidthAndHeightTruncated) {
  struct Case {
    float before, after;
    PositionShift expected;
  };
  const Case kCases[] = {
      {1.0f, 1.0f, {0, 0}},
      {1.0f, 2.0f, {-140, -190}},  // growing moves the corner up and left
      {1.5f, 1.0f, {70, 95}},      // shrinking moves it down and right
      {1.0f, 1.33f, {-46, -62}},   // -46.2 and -62.7 toward zero, not down
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(FreePlacementShift(c.before, c.after), c.expected) << c.before << " " << c.after;
  }
}

}  // namespace
}  // namespace companion
