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

// Every toggle and the two Scripture items, for a fresh companion and with each one flipped.
TEST(ContextMenuModel, TogglesAreCheckedAndScriptureItemsEnabledByTheState) {
  const std::u16string kToggles[] = {u"Pause character and prompts",
                                     u"Original character (full motion)", u"Start with Windows",
                                     u"Character movement", u"Younger character (motion preview)"};
  const MenuInputs fresh{};
  const MenuInputs flipped{.paused = true,
                           .movementEnabled = false,
                           .younger = false,
                           .historyIndex = 0,
                           .hasCurrentScripture = true,
                           .startWithWindows = true,
                           .monitors = {}};
  for (const bool flip : {false, true}) {
    const std::vector<MenuItem> menu = ContextMenuModel(flip ? flipped : fresh);
    for (std::size_t i = 0; i < std::size(kToggles); ++i)
      EXPECT_EQ(Find(menu, kToggles[i]).checked, flip == (i < 3)) << i << " flipped " << flip;
    EXPECT_EQ(Find(menu, u"Copy current Scripture").grayed, !flip);
    EXPECT_EQ(Find(menu, u"Previous Scripture").grayed, !flip);
  }
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

// Arguments: whether the typed text read as a number, and that number.
TEST(IsAcceptedDisplayTime, WholeSecondsFromOneToSixHundred) {
  const std::tuple<bool, uint32_t, bool> kCases[] = {
      {false, 10, false}, {true, 0, false}, {true, 1, true}, {true, 600, true}, {true, 601, false}};
  for (const auto& [readOk, seconds, accepted] : kCases)
    EXPECT_EQ(IsAcceptedDisplayTime(readOk, seconds), accepted) << readOk << " " << seconds;
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

}  // namespace
}  // namespace companion
