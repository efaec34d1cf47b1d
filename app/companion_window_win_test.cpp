#include "app/companion_window_win.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include "app/coordinator_win.h"
#include "base/messages.h"
#include "character/character_art_win.h"
#include "settings/preferences_win.h"
#include "tests/live_companion_win.h"
#include "tests/message_box_watcher_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

using testing::LiveCompanion;

class CompanionWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ShowWindow(live_.window(), SW_SHOWNOACTIVATE);
    SetTimer(live_.window(), TIMER_TICK, kTickPeriodMs, nullptr);
    SetTimer(live_.window(), TIMER_MOTION, kMotionPeriodMs, nullptr);
    live_.app().motion.motionTimerRunning = true;
  }
  bool TickRunning() { return live_.TimerRunning(TIMER_TICK, kTickPeriodMs); }
  bool MotionRunning() { return live_.TimerRunning(TIMER_MOTION, kMotionPeriodMs); }

  LiveCompanion live_;
};

// Suspending while locked: the resume restarts the schedule but the figure stays hidden until the
// unlock. Power events are answered TRUE.
TEST_F(CompanionWindow, LockAndSuspendQuietenTheFigureUntilBothAreUndone) {
  CompanionApp& app = live_.app();
  app.preferences.gapSeconds = 60;
  app.shell.lastTickTick = 1234;
  EXPECT_EQ(live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK), 0);
  EXPECT_FALSE(IsWindowVisible(live_.window()));
  EXPECT_FALSE(TickRunning() || MotionRunning());
  EXPECT_EQ(live_.Send(WM_POWERBROADCAST, PBT_APMSUSPEND), TRUE);
  const ULONGLONG before = GetTickCount64();
  EXPECT_EQ(live_.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC), TRUE);
  EXPECT_FALSE(IsWindowVisible(live_.window()));
  EXPECT_TRUE(TickRunning());
  EXPECT_GE(app.scripture.nextScriptureTick, before + 60000);
  EXPECT_EQ(app.shell.lastTickTick, 0u);
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
}

TEST_F(CompanionWindow, FailureWhileHandlingAMessageTellsTheUserAndEndsTheRun) {
  CompanionApp& app = live_.app();
  SetYounger(app.figure.characterArt, false);
  live_.Send(WM_DISPLAYCHANGE);  // placed and drawn with the real art
  // Broken art: an idle atlas of four rows, while the idle clip has long reached its last frame.
  app.figure.characterArt.clipIndex = 0;
  app.figure.characterArt.atlas = LoadAtlas(901);
  app.motion.motionState = MotionState::Idle;
  app.motion.motionStartTick = 1;
  HWND bubble = app.shell.bubbleWindow;
  testing::MessageBoxWatcher watcher;
  // Waits for the box's own message loop, where it fails again: still one box, not two. The
  // tick and motion timers keep running too.
  PostMessageW(live_.window(), WM_DISPLAYCHANGE, 0, 0);
  EXPECT_EQ(live_.Send(WM_DISPLAYCHANGE), 0);
  EXPECT_EQ(watcher.Texts(),
            std::vector<std::wstring>{L"The companion could not continue. Please restart it."});
  EXPECT_FALSE(IsWindow(live_.window()));
  EXPECT_FALSE(IsWindow(bubble));
  EXPECT_TRUE(LiveCompanion::TakeQuitMessage());
}

// A select asks, a later one dismisses the request on its way; the second select of a double
// click (or of Enter) is the same action. A right click's WM_RBUTTONUP leaves the menu to the
// WM_CONTEXTMENU that follows it.
TEST_F(CompanionWindow, TrayEventsActOncePerUserAction) {
  live_.Send(WM_COMPANION_TRAY, 0, WM_MOUSEMOVE);
  EXPECT_FALSE(live_.app().scripture.requestPending);
  for (LPARAM event : {LPARAM(NIN_SELECT), LPARAM(NIN_KEYSELECT)}) {
    live_.Send(WM_COMPANION_TRAY, 0, event);
    live_.Send(WM_COMPANION_TRAY, 0, event);
    EXPECT_TRUE(live_.app().scripture.requestPending) << event;
    Sleep(GetDoubleClickTime() + 100);
    live_.Send(WM_COMPANION_TRAY, 0, event);
    EXPECT_FALSE(live_.app().scripture.requestPending) << event;
    Sleep(GetDoubleClickTime() + 100);
  }
  EXPECT_FALSE(
      LiveCompanion::EndMenuOpenedBy([&] { live_.Send(WM_COMPANION_TRAY, 0, WM_RBUTTONUP); }));
  EXPECT_TRUE(
      LiveCompanion::EndMenuOpenedBy([&] { live_.Send(WM_COMPANION_TRAY, 0, WM_CONTEXTMENU); }));
}

TEST_F(CompanionWindow, BubbleTimerHidesOnlyOnceTheDeadlineHasPassed) {
  CompanionApp& app = live_.app();
  testing::TempFolder localAppData;  // where presenting saves the count
  LoadPreferencesFrom(app, localAppData.Path());
  live_.Send(WM_DISPLAYCHANGE);
  ShowOfflineVerse(app);
  ASSERT_TRUE(app.bubble.bubbleVisible);
  app.bubble.bubbleHideTick = GetTickCount64() + 60000;
  live_.Send(WM_TIMER, TIMER_BUBBLE);
  EXPECT_TRUE(IsWindowVisible(app.shell.bubbleWindow));
  app.bubble.bubbleHideTick = GetTickCount64();
  live_.Send(WM_TIMER, TIMER_BUBBLE);
  EXPECT_FALSE(IsWindowVisible(app.shell.bubbleWindow));
}

// The destroy sequence takes the icon that "TaskbarCreated" put back into the notification area.
TEST_F(CompanionWindow, TaskbarCreatedAddsTheIconAndDestroyRemovesIt) {
  live_.app().trayIconData = NOTIFYICONDATAW{};
  EXPECT_EQ(live_.Send(live_.app().shell.taskbarCreatedMessage), 0);
  NOTIFYICONDATAW probe = live_.app().trayIconData;
  EXPECT_STREQ(probe.szTip, L"Scrollwick \u2014 click for Scripture; right-click for controls");
  ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));  // only an icon that is there
  DestroyWindow(live_.window());
  EXPECT_TRUE(LiveCompanion::TakeQuitMessage());
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

}  // namespace
}  // namespace companion
