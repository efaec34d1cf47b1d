#include "app/menu_win.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/wide_win.h"
#include "character/placement.h"
#include "character/placement_win.h"
#include "settings/preferences_win.h"
#include "settings/startup_registration_win.h"
#include "tests/live_companion_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

constexpr UINT kFields = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;

// The menu as Windows holds it, read back item by item into the model's form.
std::vector<MenuItem> ReadBack(HMENU menu) {
  std::vector<MenuItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t label[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info), info.fMask = kFields, info.dwTypeData = label, info.cch = 128;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
    const bool separator = info.fType & MFT_SEPARATOR, submenu = info.hSubMenu;
    items.push_back({separator ? MenuItemKind::Separator
                     : submenu ? MenuItemKind::Submenu
                               : MenuItemKind::Command,
                     ToU16(label), submenu ? 0 : info.wID, (info.fState & MFS_CHECKED) != 0,
                     !separator && (info.fState & MFS_GRAYED),
                     submenu ? ReadBack(info.hSubMenu) : std::vector<MenuItem>{}});
  }
  return items;
}

struct Menu : ::testing::Test {
  void SetUp() override {
    LoadPreferencesFrom(app(), temp_.Path());
    PlaceCharacter(app(), true);
  }
  CompanionApp& app() { return live_.app(); }

  testing::TempFolder temp_;
  testing::LiveCompanion live_;
};

// The HMENU holds exactly the model built from the companion's state and the real Run value.
TEST_F(Menu, WindowsMenuEqualsTheModelOfTheCompanionsState) {
  MenuInputs expected{.monitors = {{false, false}, {true, true}}};
  app().placement.monitors = {MonitorRecord{}, MonitorRecord{reinterpret_cast<HMONITOR>(0x2)}};
  app().placement.monitors[1].info.dwFlags = MONITORINFOF_PRIMARY;
  app().placement.currentMonitor = app().placement.monitors[1];
  app().preferences.displaySeconds = expected.displaySeconds = 30;
  app().scripture.historyIndex = expected.historyIndex = 0;
  app().bubble.bubbleVisible = expected.bubbleVisible = true;
  expected.startWithWindows = IsStartWithWindows();
  for (const bool withScripture : {false, true}) {
    if (withScripture) app().scripture.currentReference = u"John 3:16";
    expected.hasCurrentScripture = withScripture;
    HMENU menu = BuildContextMenu(app());
    EXPECT_EQ(ReadBack(menu), ContextMenuModel(expected)) << withScripture;
    DestroyMenu(menu);
  }
}

// A new display time restarts the bubble's clock only while a bubble shows.
TEST_F(Menu, DisplayTimeSupportMessageAndSizeCommands) {
  RunMenuCommand(app(), 707);
  EXPECT_FALSE(live_.TimerRunning(TIMER_BUBBLE, 300000));
  app().scripture.nextScriptureTick = GetTickCount64() + 60000;
  RunMenuCommand(app(), kCommandSupport);
  EXPECT_EQ(app().scripture.nextScriptureTick, 0u);  // no automatic Scripture over the message
  RunMenuCommand(app(), 700);
  EXPECT_LE(app().bubble.bubbleHideTick, GetTickCount64() + 5000);  // not the 300 s still running
  EXPECT_TRUE(live_.TimerRunning(TIMER_BUBBLE, 5000));

  // A larger free figure shifts from where it stood, not from where the first re-placement put it.
  app().preferences.freePlacement = true;
  const std::pair<int32_t, int32_t> stood{app().preferences.positionX, app().preferences.positionY};
  const float scale = app().placement.characterScale;
  RunMenuCommand(app(), 502);
  const ScreenPoint shift = FreeSizeShift(scale, app().placement.characterScale);
  EXPECT_GT(app().placement.characterScale, scale);
  EXPECT_EQ(std::pair(app().preferences.positionX, app().preferences.positionY),
            std::pair(stood.first + shift.x, stood.second + shift.y));
}

}  // namespace
}  // namespace companion
