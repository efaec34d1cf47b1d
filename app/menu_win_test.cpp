#include "app/menu_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/wide_win.h"
#include "base/monitor_win.h"
#include "character/placement.h"
#include "character/placement_win.h"
#include "settings/preferences_win.h"
#include "settings/startup_registration_win.h"
#include "tests/live_companion_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

using testing::LiveCompanion;

// The menu as Windows holds it, read back item by item into the model's form.
std::vector<MenuItem> ReadBack(HMENU menu) {
  std::vector<MenuItem> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t label[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = label;
    info.cch = 128;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
    MenuItem& item = items.emplace_back();
    if (info.fType & MFT_SEPARATOR) {
      item.kind = MenuItemKind::Separator;
    } else if (info.hSubMenu) {
      item = {MenuItemKind::Submenu, ToU16(label), 0, false, false, ReadBack(info.hSubMenu)};
    } else {
      item = {MenuItemKind::Command,
              ToU16(label),
              info.wID,
              (info.fState & MFS_CHECKED) != 0,
              (info.fState & MFS_GRAYED) != 0,
              {}};
    }
  }
  return items;
}

// A real companion with its preferences in a fresh folder.
class Menu : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadPreferencesFrom(app(), temp_.Path());
    PlaceCharacter(app(), true);
    ShowWindow(live_.window(), SW_SHOWNOACTIVATE);
  }
  CompanionApp& app() { return live_.app(); }
  void ShowScripture() {
    app().scripture.currentText = u"For God so loved the world, that he gave his only born Son.";
    app().scripture.currentReference = u"John 3:16";
    app().scripture.currentTranslation = u"web";
  }

  testing::TempFolder temp_;
  LiveCompanion live_;
};

// The HMENU holds exactly the model built from the companion's state and the real Run value.
TEST_F(Menu, WindowsMenuEqualsTheModelOfTheCompanionsState) {
  MenuInputs expected;
  expected.monitors = {{false, false}, {true, true}};
  app().placement.monitors.assign(2, MonitorRecord{});
  app().placement.monitors[1].handle = reinterpret_cast<HMONITOR>(0x2);
  app().placement.monitors[1].info.dwFlags = MONITORINFOF_PRIMARY;
  app().placement.currentMonitor = app().placement.monitors[1];
  app().preferences.displaySeconds = expected.displaySeconds = 30;
  app().preferences.gapSeconds = expected.gapSeconds = 900;
  app().preferences.translationIndex = expected.translationIndex = 2;
  app().preferences.sizeMultiple = expected.sizeMultiple = 2;
  app().preferences.paused = expected.paused = true;
  app().preferences.movementEnabled = expected.movementEnabled = false;
  app().preferences.younger = expected.younger = false;
  app().scripture.historyIndex = expected.historyIndex = 0;
  app().bubble.bubbleVisible = expected.bubbleVisible = true;
  app().bubble.supportPromptShown = expected.supportPromptShown = true;
  expected.startWithWindows = IsStartWithWindows();
  for (const bool withScripture : {false, true}) {
    if (withScripture) ShowScripture();
    expected.hasCurrentScripture = withScripture;
    HMENU menu = BuildContextMenu(app());
    EXPECT_EQ(ReadBack(menu), ContextMenuModel(expected)) << withScripture;
    DestroyMenu(menu);
  }
}

// A new display time restarts the bubble's clock only while a bubble shows.
TEST_F(Menu, SupportMessageAndNewDisplayTimeRestartTheBubbleClock) {
  RunMenuCommand(app(), 707);
  EXPECT_FALSE(live_.TimerRunning(TIMER_BUBBLE, 300000));
  app().scripture.nextScriptureTick = GetTickCount64() + 60000;
  RunMenuCommand(app(), kCommandSupport);
  EXPECT_EQ(app().scripture.nextScriptureTick, 0u);  // no automatic Scripture over the message
  EXPECT_TRUE(live_.TimerRunning(TIMER_BUBBLE, 300000));
  const uint64_t before = GetTickCount64();
  RunMenuCommand(app(), 700);
  EXPECT_GE(app().bubble.bubbleHideTick, before + 5000);
  EXPECT_LE(app().bubble.bubbleHideTick, GetTickCount64() + 5000);  // not the 300 s still running
  EXPECT_TRUE(live_.TimerRunning(TIMER_BUBBLE, 5000));
}

// The shift starts from where the figure stood, not from where the first re-placement pulled the
// larger figure (low on the screen, it would not fit at the same top-left corner).
TEST_F(Menu, SizeChangeKeepsAFreeFigureBottomCentre) {
  app().preferences.freePlacement = true;
  RunMenuCommand(app(), 501);
  const int32_t x = app().preferences.positionX;
  const int32_t y = app().preferences.positionY;
  const float scale = app().placement.characterScale;
  RunMenuCommand(app(), 502);
  EXPECT_GT(app().placement.characterScale, scale);
  const ScreenPoint shift = FreeSizeShift(scale, app().placement.characterScale);
  EXPECT_EQ(app().preferences.positionX, x + shift.x);
  EXPECT_EQ(app().preferences.positionY, y + shift.y);
}

}  // namespace
}  // namespace companion
