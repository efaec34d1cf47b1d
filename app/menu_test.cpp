#include "app/menu.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

namespace companion {
namespace {

const MenuItem& Find(const std::vector<MenuItem>& items, std::u16string_view label) {
  for (const MenuItem& item : items) {
    if (item.label == label) return item;
    for (const MenuItem& inner : item.submenu)
      if (inner.label == label) return inner;
  }
  throw std::out_of_range("no menu item of that label");
}

std::vector<uint32_t> CheckedIds(const std::vector<MenuItem>& menu, std::u16string_view label) {
  std::vector<uint32_t> ids;
  for (const MenuItem& item : Find(menu, label).submenu)
    if (item.checked) ids.push_back(item.id);
  return ids;
}

// Toggles fresh or all flipped; values outside the choices check none, never the custom time.
// "Previous Scripture" needs an entry not on screen, or the last one again once it is not shown.
TEST(ContextMenuModel, ChecksAndGrayedItemsFollowTheValuesRead) {
  const std::u16string kToggles[] = {u"Pause character and prompts",
                                     u"Original character (full motion)", u"Start with Windows",
                                     u"Character movement", u"Younger character (motion preview)"};
  const struct {
    bool flip;
    int32_t size, gap, translation, display;
    std::vector<uint32_t> sizeIds, gapIds, translationIds, displayIds;
  } kCases[] = {
      {false, 3, 0, 4, 5, {503}, {300}, {604}, {700}},
      {true, 1, 3600, 0, 300, {501}, {307}, {600}, {707}},
      {false, 4, 45, 5, 45, {}, {}, {}, {}},
      {true, 0, 30, -1, 600, {}, {301}, {}, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.display);
    MenuInputs in{.monitors = {{false, false}, {false, true}, {true, false}}};
    std::tie(in.sizeMultiple, in.gapSeconds, in.translationIndex, in.displaySeconds) =
        std::tie(c.size, c.gap, c.translation, c.display);
    in.paused = in.hasCurrentScripture = in.startWithWindows = c.flip;
    in.movementEnabled = in.younger = !c.flip;
    in.historyIndex = c.flip ? 0 : -1;
    const std::vector<MenuItem> menu = ContextMenuModel(in);
    const std::vector<MenuItem>& settings = Find(menu, u"Settings").submenu;
    for (std::size_t i = 0; i < std::size(kToggles); ++i)
      EXPECT_EQ(Find(menu, kToggles[i]).checked, c.flip == (i < 3)) << i;
    EXPECT_EQ(Find(menu, u"Copy current Scripture").grayed, !c.flip);
    EXPECT_EQ(Find(menu, u"Previous Scripture").grayed, !c.flip);
    EXPECT_EQ(CheckedIds(menu, u"Character size"), c.sizeIds);
    EXPECT_EQ(CheckedIds(settings, u"Gap after each Scripture"), c.gapIds);
    EXPECT_EQ(CheckedIds(settings, u"Bible translation (online)"), c.translationIds);
    EXPECT_EQ(CheckedIds(settings, u"Display time (seconds)"), c.displayIds);
    const MenuItem& custom = Find(settings, u"Display time (seconds)").submenu.back();
    const std::string n = std::to_string(c.display);
    EXPECT_EQ(custom.label, u"Custom\u2026 (" + std::u16string(n.begin(), n.end()) + u" seconds)");
    const std::vector<MenuItem> displays = {
        {.label = u"Display 1", .id = 400, .submenu = {}},
        {.label = u"Display 2", .id = 401, .checked = true, .submenu = {}},
        {.label = u"Display 3 (primary)", .id = 402, .submenu = {}}};
    EXPECT_EQ(Find(settings, u"Companion display").submenu, displays);
  }
  EXPECT_FALSE(PreviousScriptureEnabled(-1, true, true) ||
               PreviousScriptureEnabled(0, true, false));
  EXPECT_TRUE(PreviousScriptureEnabled(0, true, true) && PreviousScriptureEnabled(1, true, false));
}

// Every command group at its bounds; a typed display time is at least 1 (the dialog tests the top).
TEST(DecodeMenuCommand, GroupsAndValuesUpToEachBoundary) {
  using G = MenuCommandGroup;
  const std::pair<uint32_t, MenuCommand> kCases[] = {
      {112, {G::Single, 112}}, {113, {G::Unknown, 0}},     {300, {G::Gap, 0}},
      {308, {G::Unknown, 0}},  {400, {G::Monitor, 0}},     {499, {G::Monitor, 99}},
      {500, {G::Unknown, 0}},  {501, {G::Size, 1}},        {503, {G::Size, 3}},
      {504, {G::Unknown, 0}},  {600, {G::Translation, 0}}, {604, {G::Translation, 4}},
      {605, {G::Unknown, 0}},  {700, {G::DisplayTime, 5}}, {708, {G::Unknown, 0}}};
  for (const auto& [id, expected] : kCases)
    EXPECT_EQ(DecodeMenuCommand(id), expected) << id;
  EXPECT_TRUE(IsAcceptedDisplayTime(true, 1) && !IsAcceptedDisplayTime(true, 0) &&
              !IsAcceptedDisplayTime(false, 10));
}

}  // namespace
}  // namespace companion
