#include "app/companion_window_win.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/companion_messages.h"
#include "character/character_art_win.h"
#include "scripture/requests_win.h"
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

TEST_F(CompanionWindow, FailureWhileHandlingAMessageTellsTheUserAndEndsTheRun) {
  CompanionApp& app = live_.app();
  SetYounger(app.characterArt, false);
  live_.Send(WM_DISPLAYCHANGE);  // placed and drawn with the real art
  ASSERT_TRUE(IsWindow(live_.window()));
  // Broken art: an idle atlas of four rows, while the idle clip has long reached its last frame.
  app.characterArt.clipIndex = 0;
  app.characterArt.atlas = LoadAtlas(901);
  app.motionState = MotionState::Idle;
  app.motionStartTick = 1;
  HWND bubble = app.bubbleWindow;
  testing::MessageBoxWatcher watcher;
  EXPECT_EQ(live_.Send(WM_DISPLAYCHANGE), 0);
  const auto texts = watcher.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], L"The companion could not continue. Please restart it.");
  EXPECT_FALSE(IsWindow(live_.window()));
  EXPECT_FALSE(IsWindow(bubble));
  EXPECT_TRUE(LiveCompanion::TakeQuitMessage());
}

TEST_F(CompanionWindow, TraySelectFollowsTheClickRule) {
  for (LPARAM event : {LPARAM(NIN_SELECT), LPARAM(NIN_KEYSELECT)}) {
    CompanionApp& app = live_.app();
    ASSERT_FALSE(app.bubbleVisible);
    ASSERT_FALSE(app.requestPending);
    live_.Send(WM_COMPANION_TRAY, 0, event);
    EXPECT_TRUE(app.requestPending) << event;  // asked
    live_.Send(WM_COMPANION_TRAY, 0, event);
    EXPECT_FALSE(app.requestPending) << event;  // dismissed while on its way
  }
  live_.Send(WM_COMPANION_TRAY, 0, WM_MOUSEMOVE);
  EXPECT_FALSE(live_.app().requestPending);
}

TEST_F(CompanionWindow, TrayRightClickOpensTheMenu) {
  for (LPARAM event : {LPARAM(WM_CONTEXTMENU), LPARAM(WM_RBUTTONUP)}) {
    std::atomic<bool> seen{false};
    std::atomic<bool> done{false};
    HWND window = live_.window();
    // The menu runs its own loop inside the call; cancelling the menu mode ends it.
    std::thread closer([&] {
      while (!done) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
          seen = true;
          PostMessageW(window, WM_CANCELMODE, 0, 0);
          return;
        }
        Sleep(10);
      }
    });
    live_.Send(WM_COMPANION_TRAY, 0, event);
    done = true;
    closer.join();
    EXPECT_TRUE(seen) << event;
  }
}

TEST_F(CompanionWindow, BubbleTimerHidesOnlyOnceTheDeadlineHasPassed) {
  CompanionApp& app = live_.app();
  testing::TempFolder localAppData;  // where presenting saves the count
  LoadPreferencesFrom(app, localAppData.Path());
  live_.Send(WM_DISPLAYCHANGE);
  ShowOfflineVerse(app);
  ASSERT_TRUE(app.bubbleVisible);
  app.bubbleHideTick = GetTickCount64() + 60000;
  live_.Send(WM_TIMER, TIMER_BUBBLE);
  EXPECT_TRUE(app.bubbleVisible);
  EXPECT_TRUE(IsWindowVisible(app.bubbleWindow));
  app.bubbleHideTick = GetTickCount64();
  live_.Send(WM_TIMER, TIMER_BUBBLE);
  EXPECT_FALSE(app.bubbleVisible);
  EXPECT_FALSE(IsWindowVisible(app.bubbleWindow));
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
