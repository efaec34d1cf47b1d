#include "app/companion_window_win.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include "app/coordinator_win.h"
#include "base/messages.h"
#include "character/character_art_win.h"
#include "tests/live_companion_win.h"
#include "tests/message_box_watcher_win.h"

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

  LiveCompanion live_;
};

// Suspended while locked: the resume restarts the schedule, the figure stays hidden until unlocked.
TEST_F(CompanionWindow, LockAndSuspendQuietenTheFigureUntilBothAreUndone) {
  CompanionApp& app = live_.app();
  app.preferences.gapSeconds = 60;
  app.shell.lastTickTick = 1234;
  EXPECT_EQ(live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK), 0);
  EXPECT_FALSE(IsWindowVisible(live_.window()) || TickRunning() ||
               live_.TimerRunning(TIMER_MOTION, kMotionPeriodMs));
  EXPECT_EQ(live_.Send(WM_POWERBROADCAST, PBT_APMSUSPEND), TRUE);
  const ULONGLONG before = GetTickCount64();
  EXPECT_EQ(live_.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC), TRUE);
  EXPECT_TRUE(!IsWindowVisible(live_.window()) && TickRunning() && app.shell.lastTickTick == 0);
  EXPECT_GE(app.scripture.nextScriptureTick, before + 60000);
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
}

// Broken art (an idle atlas of four rows) fails again in the box's own loop: still one box. The
// icon that "TaskbarCreated" put back goes with the windows.
TEST_F(CompanionWindow, FailureWhileHandlingAMessageTellsTheUserAndEndsTheRun) {
  CompanionApp& app = live_.app();
  app.trayIconData = NOTIFYICONDATAW{};
  EXPECT_EQ(live_.Send(app.shell.taskbarCreatedMessage), 0);
  NOTIFYICONDATAW probe = app.trayIconData;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));  // only an icon that is there
  SetYounger(app.figure.characterArt, false);
  live_.Send(WM_DISPLAYCHANGE);  // placed and drawn with the real art
  app.figure.characterArt.clipIndex = 0;
  MotionClip shortIdle = MotionClips[0];
  shortIdle.resourceId = 901;
  app.figure.characterArt.atlas = LoadAtlas(shortIdle);
  app.motion.motionState = MotionState::Idle;
  app.motion.motionStartTick = 1;
  HWND bubble = app.shell.bubbleWindow;
  testing::MessageBoxWatcher watcher;
  PostMessageW(live_.window(), WM_DISPLAYCHANGE, 0, 0);
  EXPECT_EQ(live_.Send(WM_DISPLAYCHANGE), 0);
  EXPECT_EQ(watcher.Texts(),
            std::vector<std::wstring>{L"The companion could not continue. Please restart it."});
  EXPECT_TRUE(LiveCompanion::TakeQuitMessage() && !IsWindow(live_.window()) && !IsWindow(bubble) &&
              !Shell_NotifyIconW(NIM_MODIFY, &probe));
}

// The second key select of Enter is the same action as the first; a right click's WM_RBUTTONUP
// leaves the menu to the WM_CONTEXTMENU that follows it.
TEST_F(CompanionWindow, TrayEventsActOncePerUserAction) {
  live_.Send(WM_COMPANION_TRAY, 0, NIN_KEYSELECT);
  live_.Send(WM_COMPANION_TRAY, 0, NIN_KEYSELECT);
  EXPECT_TRUE(live_.app().scripture.requestPending);
  EXPECT_FALSE(
      LiveCompanion::EndMenuOpenedBy([&] { live_.Send(WM_COMPANION_TRAY, 0, WM_RBUTTONUP); }));
  EXPECT_TRUE(
      LiveCompanion::EndMenuOpenedBy([&] { live_.Send(WM_COMPANION_TRAY, 0, WM_CONTEXTMENU); }));
}

}  // namespace
}  // namespace companion
