#include "app/companion_window_win.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include "app/companion_messages.h"
#include "tests/live_companion_win.h"

namespace companion {
namespace {

using testing::LiveCompanion;

class CompanionWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ShowWindow(live_.window(), SW_SHOWNOACTIVATE);
    SetTimer(live_.window(), TIMER_TICK, kTickPeriodMs, nullptr);
    SetTimer(live_.window(), TIMER_MOTION, kMotionPeriodMs, nullptr);
    live_.app().motionTimerRunning = true;
  }
  bool TickRunning() { return live_.TimerRunning(TIMER_TICK, kTickPeriodMs); }
  bool MotionRunning() { return live_.TimerRunning(TIMER_MOTION, kMotionPeriodMs); }

  LiveCompanion live_;
};

TEST_F(CompanionWindow, LockHidesAndStopsTheClocks) {
  EXPECT_EQ(live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK), 0);
  EXPECT_TRUE(live_.app().sessionLocked);
  EXPECT_FALSE(IsWindowVisible(live_.window()));
  EXPECT_FALSE(TickRunning());
  EXPECT_FALSE(MotionRunning());
  EXPECT_FALSE(live_.app().motionTimerRunning);

  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_FALSE(live_.app().sessionLocked);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
  EXPECT_TRUE(TickRunning());
}

TEST_F(CompanionWindow, SuspendHidesAndStopsTheClocks) {
  EXPECT_EQ(live_.Send(WM_POWERBROADCAST, PBT_APMSUSPEND), TRUE);
  EXPECT_TRUE(live_.app().suspended);
  EXPECT_FALSE(IsWindowVisible(live_.window()));
  EXPECT_FALSE(TickRunning());
  EXPECT_FALSE(MotionRunning());
}

TEST_F(CompanionWindow, ResumeWhileLockedKeepsHiddenUntilUnlock) {
  live_.app().gapSeconds = 60;
  live_.app().lastTickTick = 1234;
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
  live_.Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
  const ULONGLONG before = GetTickCount64();
  live_.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
  EXPECT_FALSE(live_.app().suspended);
  EXPECT_TRUE(live_.app().sessionLocked);
  EXPECT_FALSE(IsWindowVisible(live_.window()));
  EXPECT_TRUE(TickRunning());
  // The automatic schedule starts over.
  EXPECT_GE(live_.app().nextScriptureTick, before + 60000);
  EXPECT_LE(live_.app().nextScriptureTick, GetTickCount64() + 60000);
  EXPECT_EQ(live_.app().lastTickTick, 0u);

  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
}

TEST_F(CompanionWindow, ResumeWithNoGapSchedulesNothing) {
  live_.app().gapSeconds = 0;
  live_.Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
  live_.Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
  EXPECT_EQ(live_.app().nextScriptureTick, 0u);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
}

TEST_F(CompanionWindow, EveryPowerEventIsAnsweredTrue) {
  for (WPARAM event : {WPARAM(PBT_APMPOWERSTATUSCHANGE), WPARAM(PBT_POWERSETTINGCHANGE), WPARAM(0),
                       WPARAM(0xFFFF)}) {
    EXPECT_EQ(live_.Send(WM_POWERBROADCAST, event), TRUE) << event;
  }
  EXPECT_FALSE(live_.app().suspended);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
}

TEST_F(CompanionWindow, OtherSessionEventsChangeNothing) {
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGON);
  live_.Send(WM_WTSSESSION_CHANGE, WTS_REMOTE_CONNECT);
  EXPECT_FALSE(live_.app().sessionLocked);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
  EXPECT_TRUE(TickRunning());
}

TEST_F(CompanionWindow, NeverTakesActivation) {
  EXPECT_EQ(live_.Send(WM_MOUSEACTIVATE), MA_NOACTIVATE);
}

TEST_F(CompanionWindow, TaskbarCreatedRebuildsTheTrayIcon) {
  live_.app().trayIconData = NOTIFYICONDATAW{};
  EXPECT_EQ(live_.Send(live_.app().taskbarCreatedMessage), 0);
  const NOTIFYICONDATAW& data = live_.app().trayIconData;
  EXPECT_EQ(data.cbSize, 976u);
  EXPECT_EQ(data.hWnd, live_.window());
  EXPECT_EQ(data.uID, 1u);
  EXPECT_EQ(data.uFlags, 0x87u);
  EXPECT_EQ(data.uCallbackMessage, WM_COMPANION_TRAY);
  EXPECT_NE(data.hIcon, nullptr);
  EXPECT_STREQ(data.szTip, L"Scrollwick \u2014 click for Scripture; right-click for controls");
  // The icon is in the notification area: it can be modified.
  NOTIFYICONDATAW probe = data;
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST_F(CompanionWindow, MotionTimerStopsWhenSomethingBlocksIt) {
  struct Case {
    const char* name;
    void (*block)(CompanionApp&);
  };
  const Case kCases[] = {
      {"paused", [](CompanionApp& a) { a.paused = true; }},
      {"movement off", [](CompanionApp& a) { a.movementEnabled = false; }},
      {"dragging", [](CompanionApp& a) { a.dragging = true; }},
      {"full screen", [](CompanionApp& a) { a.fullScreenQuiet = true; }},
  };
  for (const auto& c : kCases) {
    CompanionApp& app = live_.app();
    app.paused = app.dragging = app.fullScreenQuiet = false;
    app.movementEnabled = true;
    SetTimer(live_.window(), TIMER_MOTION, kMotionPeriodMs, nullptr);
    app.motionTimerRunning = true;
    c.block(app);
    live_.Send(WM_TIMER, TIMER_MOTION);
    EXPECT_FALSE(app.motionTimerRunning) << c.name;
    EXPECT_FALSE(MotionRunning()) << c.name;
  }
}

TEST_F(CompanionWindow, DestroySequenceStopsEverythingAndPostsQuit) {
  live_.Send(live_.app().taskbarCreatedMessage);
  NOTIFYICONDATAW probe = live_.app().trayIconData;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
  HWND bubble = live_.app().bubbleWindow;
  HWND hint = live_.app().hintWindow;
  SetTimer(live_.window(), TIMER_BUBBLE, 10000, nullptr);
  DestroyWindow(live_.window());
  EXPECT_FALSE(IsWindow(bubble));
  EXPECT_FALSE(IsWindow(hint));
  EXPECT_EQ(live_.app().bubbleWindow, nullptr);
  EXPECT_FALSE(live_.app().motionTimerRunning);
  EXPECT_TRUE(LiveCompanion::TakeQuitMessage());
  // The icon left with the window.
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST_F(CompanionWindow, CloseDestroysTheWindow) {
  EXPECT_EQ(live_.Send(WM_CLOSE), 0);
  EXPECT_FALSE(IsWindow(live_.window()));
  EXPECT_TRUE(LiveCompanion::TakeQuitMessage());
}

TEST_F(CompanionWindow, WithoutARecordEverythingGoesToTheDefaultProcedure) {
  CompanionApp* saved = processCompanionApp;
  processCompanionApp = nullptr;
  EXPECT_EQ(live_.Send(WM_POWERBROADCAST, PBT_APMSUSPEND),
            DefWindowProcW(live_.window(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
  EXPECT_FALSE(live_.app().suspended);
  processCompanionApp = saved;
}

}  // namespace
}  // namespace companion
