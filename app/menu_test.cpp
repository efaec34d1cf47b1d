#include "app/menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace companion {
namespace {

// One line per item: nesting by two spaces, "---" for a separator, ">" before a submenu,
// "|id" after a command, then " [x]" when checked and " [grayed]" when grayed.
void Outline(const std::vector<MenuItem>& items, const std::u16string& indent,
             std::u16string& out) {
  for (const MenuItem& item : items) {
    out += indent;
    if (item.kind == MenuItemKind::Separator) {
      out += u"---\n";
      continue;
    }
    if (item.kind == MenuItemKind::Submenu) {
      out += u">" + item.label + u"\n";
      Outline(item.submenu, indent + u"  ", out);
      continue;
    }
    const std::string id = std::to_string(item.id);
    out += item.label + u"|" + std::u16string(id.begin(), id.end());
    if (item.checked) out += u" [x]";
    if (item.grayed) out += u" [grayed]";
    out += u"\n";
  }
}

std::u16string Outline(const MenuInputs& in) {
  std::u16string out;
  Outline(ContextMenuModel(in), u"", out);
  return out;
}

const MenuItem& Find(const std::vector<MenuItem>& items, std::u16string_view label) {
  for (const MenuItem& item : items) {
    if (item.label == label) return item;
    if (item.kind == MenuItemKind::Submenu) {
      for (const MenuItem& inner : item.submenu) {
        if (inner.label == label) return inner;
      }
    }
  }
  static const MenuItem none{};
  ADD_FAILURE() << "no item of that label";
  return none;
}

std::vector<uint32_t> CheckedIds(const MenuItem& submenu) {
  std::vector<uint32_t> ids;
  for (const MenuItem& item : submenu.submenu) {
    if (item.checked) ids.push_back(item.id);
  }
  return ids;
}

TEST(ContextMenuModel, WholeMenuForAFreshCompanion) {
  MenuInputs in;
  in.monitors = {{true, true}, {false, false}};
  const std::u16string expected =
      u"Give me a Scripture|100\n"
      u"Previous Scripture|111 [grayed]\n"
      u">Character size\n"
      u"  1\u00D7 (current small size)|501 [x]\n"
      u"  2\u00D7 height|502\n"
      u"  3\u00D7 height|503\n"
      u"Copy current Scripture|107 [grayed]\n"
      u"---\n"
      u"Pause character and prompts|101\n"
      u">Settings\n"
      u"  Younger character (motion preview)|108 [x]\n"
      u"  Original character (full motion)|109\n"
      u"  Return to taskbar|110\n"
      u"  Character movement|102 [x]\n"
      u"  Start with Windows|103\n"
      u"  >Display time (seconds)\n"
      u"    5 seconds|700\n"
      u"    10 seconds|701 [x]\n"
      u"    15 seconds|702\n"
      u"    20 seconds|703\n"
      u"    30 seconds|704\n"
      u"    60 seconds|705\n"
      u"    120 seconds|706\n"
      u"    300 seconds|707\n"
      u"    Custom\u2026 (10 seconds)|112\n"
      u"  >Gap after each Scripture\n"
      u"    Off (manual only)|300\n"
      u"    30 seconds|301\n"
      u"    1 minute|302 [x]\n"
      u"    2 minutes|303\n"
      u"    5 minutes|304\n"
      u"    15 minutes|305\n"
      u"    30 minutes|306\n"
      u"    1 hour|307\n"
      u"  >Bible translation (online)\n"
      u"    World English Bible|600 [x]\n"
      u"    King James Version|601\n"
      u"    American Standard Version|602\n"
      u"    Young's Literal Translation|603\n"
      u"    Darby Translation|604\n"
      u"  Support Scrollwick|106\n"
      u"  >Companion display\n"
      u"    Display 1 (primary)|400 [x]\n"
      u"    Display 2|401\n"
      u"---\n"
      u"Visit Scrollwick|104\n"
      u"Exit|105\n";
  EXPECT_EQ(Outline(in), expected);
}

TEST(ContextMenuModel, ToggledStatesAreChecked) {
  MenuInputs in;
  in.paused = true;
  in.movementEnabled = false;
  in.younger = false;
  in.startWithWindows = true;
  in.sizeMultiple = 3;
  in.gapSeconds = 0;
  in.translationIndex = 4;
  const std::vector<MenuItem> menu = ContextMenuModel(in);
  EXPECT_TRUE(Find(menu, u"Pause character and prompts").checked);
  EXPECT_FALSE(Find(menu, u"Character movement").checked);
  EXPECT_FALSE(Find(menu, u"Younger character (motion preview)").checked);
  EXPECT_TRUE(Find(menu, u"Original character (full motion)").checked);
  EXPECT_TRUE(Find(menu, u"Start with Windows").checked);
  EXPECT_EQ(CheckedIds(Find(menu, u"Character size")), std::vector<uint32_t>{503});
  const MenuItem& settings = Find(menu, u"Settings");
  EXPECT_EQ(CheckedIds(Find(settings.submenu, u"Gap after each Scripture")),
            std::vector<uint32_t>{300});
  EXPECT_EQ(CheckedIds(Find(settings.submenu, u"Bible translation (online)")),
            std::vector<uint32_t>{604});
}

TEST(ContextMenuModel, PreviousScriptureFollowsHistoryBubbleAndSupportMessage) {
  struct Case {
    int32_t historyIndex;
    bool bubbleVisible;
    bool supportPromptShown;
    bool enabled;
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
    EXPECT_EQ(PreviousScriptureEnabled(c.historyIndex, c.bubbleVisible, c.supportPromptShown),
              c.enabled)
        << c.historyIndex << " " << c.bubbleVisible << " " << c.supportPromptShown;
    MenuInputs in;
    in.historyIndex = c.historyIndex;
    in.bubbleVisible = c.bubbleVisible;
    in.supportPromptShown = c.supportPromptShown;
    EXPECT_EQ(Find(ContextMenuModel(in), u"Previous Scripture").grayed, !c.enabled);
  }
}

TEST(ContextMenuModel, CopyIsGrayedOnlyWithoutAScripture) {
  MenuInputs in;
  in.hasCurrentScripture = true;
  EXPECT_FALSE(Find(ContextMenuModel(in), u"Copy current Scripture").grayed);
  in.hasCurrentScripture = false;
  EXPECT_TRUE(Find(ContextMenuModel(in), u"Copy current Scripture").grayed);
}

TEST(ContextMenuModel, DisplayTimeChecksThePresetAndNeverTheCustomItem) {
  struct Case {
    int32_t displaySeconds;
    std::vector<uint32_t> checked;
    std::u16string customLabel;
  };
  const Case kCases[] = {
      {30, {704}, u"Custom\u2026 (30 seconds)"},  // a custom 30 shows as the preset
      {5, {700}, u"Custom\u2026 (5 seconds)"},   {300, {707}, u"Custom\u2026 (300 seconds)"},
      {45, {}, u"Custom\u2026 (45 seconds)"},    {1, {}, u"Custom\u2026 (1 seconds)"},
      {600, {}, u"Custom\u2026 (600 seconds)"},
  };
  for (const Case& c : kCases) {
    MenuInputs in;
    in.displaySeconds = c.displaySeconds;
    const std::vector<MenuItem> menu = ContextMenuModel(in);
    const MenuItem& times = Find(Find(menu, u"Settings").submenu, u"Display time (seconds)");
    EXPECT_EQ(CheckedIds(times), c.checked) << c.displaySeconds;
    ASSERT_EQ(times.submenu.size(), 9u);
    EXPECT_EQ(times.submenu.back().label, c.customLabel);
    EXPECT_EQ(times.submenu.back().id, kCommandCustomDisplayTime);
  }
}

TEST(ContextMenuModel, GapOutsideTheChoicesChecksNothing) {
  MenuInputs in;
  in.gapSeconds = 45;
  const std::vector<MenuItem> menu = ContextMenuModel(in);
  EXPECT_TRUE(
      CheckedIds(Find(Find(menu, u"Settings").submenu, u"Gap after each Scripture")).empty());
}

TEST(ContextMenuModel, DisplaysAreNumberedFromOneWithThePrimaryMarked) {
  MenuInputs in;
  in.monitors = {{false, false}, {false, true}, {true, false}};
  const std::vector<MenuItem> menu = ContextMenuModel(in);
  const MenuItem& displays = Find(Find(menu, u"Settings").submenu, u"Companion display");
  const std::vector<MenuItem> expected = {
      {MenuItemKind::Command, u"Display 1", 400, false, false, {}},
      {MenuItemKind::Command, u"Display 2", 401, true, false, {}},
      {MenuItemKind::Command, u"Display 3 (primary)", 402, false, false, {}},
  };
  EXPECT_EQ(displays.submenu, expected);
}

TEST(ContextMenuModel, NoDisplaysLeavesTheSubmenuEmpty) {
  const std::vector<MenuItem> menu = ContextMenuModel(MenuInputs{});
  const MenuItem& displays = Find(Find(menu, u"Settings").submenu, u"Companion display");
  EXPECT_EQ(displays.kind, MenuItemKind::Submenu);
  EXPECT_TRUE(displays.submenu.empty());
}

TEST(ClipboardScriptureText, VerseThenReferenceAndCode) {
  EXPECT_EQ(ClipboardScriptureText(u"Jesus wept.", u"John 11:35", u"kjv"),
            u"Jesus wept.\r\nJohn 11:35 (kjv)");
  EXPECT_EQ(ClipboardScriptureText(u"\u201CPeace.\u201D", u"Psalm 4:8", u"darby"),
            u"\u201CPeace.\u201D\r\nPsalm 4:8 (darby)");
}

TEST(IsAcceptedDisplayTime, OneToSixHundred) {
  struct Case {
    bool readOk;
    uint32_t seconds;
    bool accepted;
  };
  const Case kCases[] = {
      {true, 0, false},   {true, 1, true},    {true, 600, true},
      {true, 601, false}, {true, 999, false}, {false, 0, false},  // empty field
      {false, 30, false}, {true, 30, true},   {true, 4294967295u, false},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(IsAcceptedDisplayTime(c.readOk, c.seconds), c.accepted)
        << c.readOk << " " << c.seconds;
  }
}

TEST(DecodeMenuCommand, GroupsAndValues) {
  using G = MenuCommandGroup;
  struct Case {
    uint32_t id;
    MenuCommand expected;
  };
  const Case kCases[] = {
      {0, {G::Unknown, 0}},        {99, {G::Unknown, 0}},        {100, {G::Single, 100}},
      {112, {G::Single, 112}},     {113, {G::Unknown, 0}},       {299, {G::Unknown, 0}},
      {300, {G::Gap, 0}},          {301, {G::Gap, 30}},          {307, {G::Gap, 3600}},
      {308, {G::Unknown, 0}},      {400, {G::Monitor, 0}},       {403, {G::Monitor, 3}},
      {499, {G::Monitor, 99}},     {500, {G::Unknown, 0}},       {501, {G::Size, 1}},
      {503, {G::Size, 3}},         {504, {G::Unknown, 0}},       {600, {G::Translation, 0}},
      {604, {G::Translation, 4}},  {605, {G::Unknown, 0}},       {700, {G::DisplayTime, 5}},
      {704, {G::DisplayTime, 30}}, {707, {G::DisplayTime, 300}}, {708, {G::Unknown, 0}},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(DecodeMenuCommand(c.id), c.expected) << c.id;
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
  EXPECT_GE(lowest, 60000u);
  EXPECT_LT(lowest, 60100u);
  EXPECT_LE(highest, 120000u);
  EXPECT_GT(highest, 119900u);
}

TEST(FreePlacementShift, ScaleDifferenceTimesHalfWidthAndHeightTruncated) {
  struct Case {
    float before;
    float after;
    PositionShift expected;
  };
  const Case kCases[] = {
      {1.0f, 1.0f, {0, 0}},     {1.0f, 2.0f, {-140, -190}},  // growing moves the corner up and left
      {3.0f, 1.0f, {280, 380}},                              // shrinking moves it down and right
      {1.5f, 1.0f, {70, 95}},   {1.0f, 1.33f, {-46, -62}},  // -46.2 and -62.7 toward zero, not down
      {1.33f, 1.0f, {46, 62}},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(FreePlacementShift(c.before, c.after), c.expected) << c.before << " " << c.after;
  }
}

}  // namespace
}  // namespace companion
