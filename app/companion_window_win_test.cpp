#include "app/companion_window_win.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

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
    StartMotion();
  }
  void StartMotion() {
    SetTimer(live_.window(), TIMER_MOTION, kMotionPeriodMs, nullptr);
    live_.app().motionTimerRunning = true;
  }
  bool TickRunning() { return live_.TimerRunning(TIMER_TICK, kTickPeriodMs); }
  bool MotionRunning() { return live_.TimerRunning(TIMER_MOTION, kMotionPeriodMs); }

  LiveCompanion live_;
};

TEST_F(CompanionWindow, LockAndSuspendEachQuietenTheFigureUntilUndone) {
  live_.app().gapSeconds = 0;
  const struct {
    UINT message;
    WPARAM quieten, undo;
    LRESULT answer;
  } kCases[] = {
      {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, WTS_SESSION_UNLOCK, 0},
      {WM_POWERBROADCAST, PBT_APMSUSPEND, PBT_APMRESUMESUSPEND, TRUE},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message);
    StartMotion();
    EXPECT_EQ(live_.Send(c.message, c.quieten), c.answer);
    EXPECT_FALSE(IsWindowVisible(live_.window()));
    EXPECT_FALSE(TickRunning());
    EXPECT_FALSE(MotionRunning());
    EXPECT_FALSE(live_.app().motionTimerRunning);
    EXPECT_EQ(live_.Send(c.message, c.undo), c.answer);
    EXPECT_TRUE(IsWindowVisible(live_.window()));
    EXPECT_TRUE(TickRunning());
    EXPECT_EQ(live_.app().nextScriptureTick, 0u);  // no gap, no automatic Scripture
  }
}

TEST_F(CompanionWindow, ResumeWhileLockedKeepsHiddenUntilUnlock) {
  live_.app().gapSeconds = 60;
  live_.app().lastTickTick = 1234;
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
  live_.Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
  const ULONGLONG before = GetTickCount64();
  live_.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
  EXPECT_FALSE(IsWindowVisible(live_.window()));
  EXPECT_TRUE(TickRunning());
  // The automatic schedule starts over.
  EXPECT_GE(live_.app().nextScriptureTick, before + 60000);
  EXPECT_LE(live_.app().nextScriptureTick, GetTickCount64() + 60000);
  EXPECT_EQ(live_.app().lastTickTick, 0u);

  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
}

TEST_F(CompanionWindow, OtherPowerAndSessionEventsChangeNothingAndPowerAnswersTrue) {
  for (WPARAM event : {WPARAM(PBT_APMPOWERSTATUSCHANGE), WPARAM(PBT_POWERSETTINGCHANGE), WPARAM(0),
                       WPARAM(0xFFFF)}) {
    EXPECT_EQ(live_.Send(WM_POWERBROADCAST, event), TRUE) << event;
  }
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGON);
  live_.Send(WM_WTSSESSION_CHANGE, WTS_REMOTE_CONNECT);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
  EXPECT_TRUE(TickRunning());
}

TEST_F(CompanionWindow, FailureWhileHandlingAMessageTellsTheUserAndEndsTheRun) {
  CompanionApp& app = live_.app();
  SetYounger(app.characterArt, false);
  live_.Send(WM_DISPLAYCHANGE);  // placed and drawn with the real art
  // Broken art: an idle atlas of four rows, while the idle clip has long reached its last frame.
  app.characterArt.clipIndex = 0;
  app.characterArt.atlas = LoadAtlas(901);
  app.motionState = MotionState::Idle;
  app.motionStartTick = 1;
  HWND bubble = app.bubbleWindow;
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

TEST_F(CompanionWindow, TraySelectFollowsTheClickRule) {
  CompanionApp& app = live_.app();
  for (LPARAM event : {LPARAM(NIN_SELECT), LPARAM(NIN_KEYSELECT)}) {
    live_.Send(WM_COMPANION_TRAY, 0, event);
    EXPECT_TRUE(app.requestPending) << event;  // asked
    live_.Send(WM_COMPANION_TRAY, 0, event);
    EXPECT_FALSE(app.requestPending) << event;  // dismissed while on its way
  }
  live_.Send(WM_COMPANION_TRAY, 0, WM_MOUSEMOVE);
  EXPECT_FALSE(app.requestPending);
}

TEST_F(CompanionWindow, TrayRightClickOpensTheMenu) {
  for (LPARAM event : {LPARAM(WM_CONTEXTMENU), LPARAM(WM_RBUTTONUP)}) {
    EXPECT_TRUE(LiveCompanion::EndMenuOpenedBy([&] { live_.Send(WM_COMPANION_TRAY, 0, event); }))
        << event;
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
  EXPECT_TRUE(IsWindowVisible(app.bubbleWindow));
  app.bubbleHideTick = GetTickCount64();
  live_.Send(WM_TIMER, TIMER_BUBBLE);
  EXPECT_FALSE(IsWindowVisible(app.bubbleWindow));
}

// The destroy sequence takes the icon that "TaskbarCreated" put back into the notification area.
TEST_F(CompanionWindow, TaskbarCreatedAddsTheIconAndDestroyRemovesItAndPostsQuit) {
  live_.app().trayIconData = NOTIFYICONDATAW{};
  EXPECT_EQ(live_.Send(live_.app().taskbarCreatedMessage), 0);
  NOTIFYICONDATAW probe = live_.app().trayIconData;
  EXPECT_EQ(probe.uCallbackMessage, WM_COMPANION_TRAY);
  EXPECT_STREQ(probe.szTip, L"Scrollwick \u2014 click for Scripture; right-click for controls");
  // Only an icon that is in the notification area can be modified.
  ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));

  HWND bubble = live_.app().bubbleWindow;
  DestroyWindow(live_.window());
  EXPECT_FALSE(IsWindow(bubble));
  EXPECT_EQ(live_.app().bubbleWindow, nullptr);
  EXPECT_FALSE(live_.app().motionTimerRunning);
  EXPECT_TRUE(LiveCompanion::TakeQuitMessage());
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST_F(CompanionWindow, MotionTimerStopsWhenSomethingBlocksIt) {
  CompanionApp& app = live_.app();
  const std::pair<const char*, bool CompanionApp::*> kBlocks[] = {
      {"paused", &CompanionApp::paused},
      {"dragging", &CompanionApp::dragging},
      {"full screen", &CompanionApp::fullScreenQuiet},
      {"movement off", &CompanionApp::movementEnabled}};
  for (const auto& [name, flag] : kBlocks) {
    app.paused = app.dragging = app.fullScreenQuiet = false;
    app.movementEnabled = true;
    StartMotion();
    app.*flag = !(app.*flag);  // the one thing that blocks motion
    live_.Send(WM_TIMER, TIMER_MOTION);
    EXPECT_FALSE(app.motionTimerRunning) << name;
    EXPECT_FALSE(MotionRunning()) << name;
  }
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
