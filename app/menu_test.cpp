#include "app/menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace companion {
namespace {

std::u16string Decimal(size_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

// One line per item: "---" for a separator, "label|id" for a command with " [x]" when checked and
// " [grayed]" when grayed, ">label (count)" for a submenu. Only "Settings" is opened (indented by
// two spaces); the choice submenus are checked case by case below.
std::u16string Outline(const std::vector<MenuItem>& items, const std::u16string& indent = u"") {
  std::u16string out;
  for (const MenuItem& item : items) {
    out += indent;
    if (item.kind == MenuItemKind::Separator) {
      out += u"---\n";
    } else if (item.kind == MenuItemKind::Submenu) {
      out += u">" + item.label + u" (" + Decimal(item.submenu.size()) + u")\n";
      if (item.label == u"Settings") out += Outline(item.submenu, indent + u"  ");
    } else {
      out += item.label + u"|" + Decimal(item.id) + (item.checked ? u" [x]" : u"") +
             (item.grayed ? u" [grayed]" : u"") + u"\n";
    }
  }
  return out;
}

const MenuItem& Find(const std::vector<MenuItem>& items, std::u16string_view label) {
  for (const MenuItem& item : items) {
    if (item.label == label) return item;
    for (const MenuItem& inner : item.submenu) {
      if (inner.label == label) return inner;
    }
  }
  static const MenuItem none{};
  ADD_FAILURE() << "no item " << ::testing::PrintToString(std::u16string(label));
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
  EXPECT_EQ(Outline(ContextMenuModel({.monitors = {{true, true}, {false, false}}})),
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

TEST(ContextMenuModel, ToggledStatesAreCheckedAndScriptureItemsEnabled) {
  const std::vector<MenuItem> menu = ContextMenuModel({.paused = true,
                                                       .movementEnabled = false,
                                                       .younger = false,
                                                       .historyIndex = 0,
                                                       .hasCurrentScripture = true,
                                                       .startWithWindows = true,
                                                       .monitors = {}});
  for (const char16_t* label :
       {u"Pause character and prompts", u"Original character (full motion)", u"Start with Windows"})
    EXPECT_TRUE(Find(menu, label).checked) << ::testing::PrintToString(label);
  for (const char16_t* label : {u"Character movement", u"Younger character (motion preview)"})
    EXPECT_FALSE(Find(menu, label).checked) << ::testing::PrintToString(label);
  EXPECT_FALSE(Find(menu, u"Copy current Scripture").grayed ||
               Find(menu, u"Previous Scripture").grayed);
}

TEST(ContextMenuModel, ChoiceSubmenusCheckOnlyTheMatchingEntry) {
  struct Case {
    int32_t size, gap, translation, display;
    std::vector<uint32_t> sizeIds, gapIds, translationIds, displayIds;
  };
  const Case kCases[] = {
      {3, 0, 4, 5, {503}, {300}, {604}, {700}},
      {1, 3600, 0, 300, {501}, {307}, {600}, {707}},
      {4, 45, 5, 45, {}, {}, {}, {}},  // values outside the choices; never the custom item
      {0, 30, -1, 600, {}, {301}, {}, {}},
  };
  for (const Case& c : kCases) {
    const std::vector<MenuItem> menu = ContextMenuModel({.sizeMultiple = c.size,
                                                         .displaySeconds = c.display,
                                                         .gapSeconds = c.gap,
                                                         .translationIndex = c.translation,
                                                         .monitors = {}});
    const std::vector<MenuItem>& settings = Find(menu, u"Settings").submenu;
    EXPECT_EQ(CheckedIds(menu, u"Character size"), c.sizeIds) << c.size;
    EXPECT_EQ(CheckedIds(settings, u"Gap after each Scripture"), c.gapIds) << c.gap;
    EXPECT_EQ(CheckedIds(settings, u"Bible translation (online)"), c.translationIds)
        << c.translation;
    EXPECT_EQ(CheckedIds(settings, u"Display time (seconds)"), c.displayIds) << c.display;
    const MenuItem& custom = Find(settings, u"Display time (seconds)").submenu.back();
    EXPECT_EQ(custom.id, kCommandCustomDisplayTime);
    EXPECT_EQ(custom.label, u"Custom\u2026 (" + Decimal(size_t(c.display)) + u" seconds)");
  }
}

// Arguments: the history index, whether the bubble is up, whether it holds the support message.
TEST(PreviousScriptureEnabled, FollowsHistoryBubbleAndSupportMessage) {
  EXPECT_FALSE(PreviousScriptureEnabled(-1, true, true));  // only the support message so far
  EXPECT_FALSE(PreviousScriptureEnabled(0, true, false));  // the one entry is on screen
  EXPECT_TRUE(PreviousScriptureEnabled(0, false, false));  // its bubble is gone: show it again
  EXPECT_TRUE(PreviousScriptureEnabled(0, true, true));    // the support message covers it
  EXPECT_TRUE(PreviousScriptureEnabled(1, true, false));   // an older entry to step back to
}

TEST(ContextMenuModel, DisplaysAreNumberedFromOneWithThePrimaryMarked) {
  const auto displays = [](std::vector<MonitorMenuEntry> monitors) {
    return Find(Find(ContextMenuModel({.monitors = monitors}), u"Settings").submenu,
                u"Companion display")
        .submenu;
  };
  const std::vector<MenuItem> expected = {
      {MenuItemKind::Command, u"Display 1", 400, false, false, {}},
      {MenuItemKind::Command, u"Display 2", 401, true, false, {}},
      {MenuItemKind::Command, u"Display 3 (primary)", 402, false, false, {}},
  };
  EXPECT_EQ(displays({{false, false}, {false, true}, {true, false}}), expected);
}

TEST(ClipboardScriptureText, VerseThenReferenceAndCode) {
  EXPECT_EQ(ClipboardScriptureText(u"\u201CPeace.\u201D", u"Psalm 4:8", u"darby"),
            u"\u201CPeace.\u201D\r\nPsalm 4:8 (darby)");
}

TEST(DecodeMenuCommand, GroupsAndValuesUpToEachBoundary) {
  using G = MenuCommandGroup;
  const std::pair<uint32_t, MenuCommand> kCases[] = {
      {99, {G::Unknown, 0}},        {100, {G::Single, 100}}, {112, {G::Single, 112}},
      {113, {G::Unknown, 0}},       {299, {G::Unknown, 0}},  {300, {G::Gap, 0}},
      {307, {G::Gap, 3600}},        {308, {G::Unknown, 0}},  {400, {G::Monitor, 0}},
      {499, {G::Monitor, 99}},      {500, {G::Unknown, 0}},  {501, {G::Size, 1}},
      {503, {G::Size, 3}},          {504, {G::Unknown, 0}},  {600, {G::Translation, 0}},
      {604, {G::Translation, 4}},   {605, {G::Unknown, 0}},  {700, {G::DisplayTime, 5}},
      {707, {G::DisplayTime, 300}}, {708, {G::Unknown, 0}}};
  for (const auto& [id, expected] : kCases)
    EXPECT_EQ(DecodeMenuCommand(id), expected) << id;
}

TEST(IdleActionTickAfterMenu, OneToTwoMinutesAheadBothEndsReached) {
  std::mt19937 random(7);
  uint64_t lowest = UINT64_MAX, highest = 0;
  for (int i = 0; i < 20000; ++i) {
    const uint64_t delay = IdleActionTickAfterMenu(1000000, random) - 1000000;
    std::tie(lowest, highest) = std::pair{std::min(lowest, delay), std::max(highest, delay)};
  }
  EXPECT_TRUE(lowest >= 60000 && lowest < 60100) << lowest;
  EXPECT_TRUE(highest <= 120000 && highest > 119900) << highest;
}

}  // namespace
}  // namespace companion
