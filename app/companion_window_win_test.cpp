#include "app/companion_window_win.h"

#include "app/coordinator_win.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <tuple>

#include "base/messages.h"
#include "character/character_art_win.h"
#include "character/motion_win.h"
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
    live_.app().motion.motionTimerRunning = true;
  }
  bool TickRunning() { return live_.TimerRunning(TIMER_TICK, kTickPeriodMs); }
  bool MotionRunning() { return live_.TimerRunning(TIMER_MOTION, kMotionPeriodMs); }

  LiveCompanion live_;
};

// Other power events are answered TRUE as well.
TEST_F(CompanionWindow, LockAndSuspendQuietenTheFigureUntilBothAreUndone) {
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
    EXPECT_EQ(live_.Send(c.message, c.undo), c.answer);
    EXPECT_TRUE(IsWindowVisible(live_.window()));
    EXPECT_TRUE(TickRunning());
  }
  EXPECT_EQ(live_.Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE), TRUE);
  // A resume while locked restarts the schedule but stays hidden until the unlock.
  live_.app().preferences.gapSeconds = 60;
  live_.app().shell.lastTickTick = 1234;
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
  live_.Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
  const ULONGLONG before = GetTickCount64();
  live_.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
  EXPECT_FALSE(IsWindowVisible(live_.window()));
  EXPECT_TRUE(TickRunning());
  EXPECT_GE(live_.app().scripture.nextScriptureTick, before + 60000);
  EXPECT_EQ(live_.app().shell.lastTickTick, 0u);
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_TRUE(IsWindowVisible(live_.window()));
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
  live_.app().shell.fullScreenQuiet = true;  // a full-screen program still in front keeps it hidden
  live_.Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_FALSE(IsWindowVisible(live_.window()));
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

// The destroy sequence takes the icon that "TaskbarCreated" put back into the notification area.
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

// A drag ends by losing the capture, full screen by the tick finding no such window; pausing and
// movement end through the menu, which enters a new state.
TEST_F(CompanionWindow, MotionTimerStopsWhenSomethingBlocksItAndGoesOnWhenThatEnds) {
  CompanionApp& app = live_.app();
  const std::tuple<bool*, UINT, WPARAM> kCases[] = {
      {&app.preferences.paused, 0, 0},
      {&app.preferences.movementEnabled, 0, 0},
      {&app.placement.dragging, WM_CAPTURECHANGED, 0},
      {&app.shell.fullScreenQuiet, WM_TIMER, TIMER_TICK}};
  live_.Send(WM_DISPLAYCHANGE);  // placed, so that the tick can show the figure again
  for (const auto& [flag, ending, wParam] : kCases) {
    app.preferences.paused = app.placement.dragging = app.shell.fullScreenQuiet = false;
    app.preferences.movementEnabled = true;
    SetMotionState(app, MotionState::Wave, GetTickCount64());
    *flag = !*flag;
    live_.Send(WM_TIMER, TIMER_MOTION);
    EXPECT_FALSE(MotionRunning()) << ending;
    if (ending == 0) continue;
    live_.Send(ending, wParam);
    EXPECT_TRUE(MotionRunning() && app.motion.motionState == MotionState::Wave) << ending;
  }
}

// The tick runs the gap rule: after the machine slept, the gap to the next automatic Scripture
// starts again instead of asking at once.
TEST_F(CompanionWindow, TickAfterAGapRestartsTheSchedule) {
  CompanionApp& app = live_.app();
  live_.Send(WM_DISPLAYCHANGE);
  app.preferences.gapSeconds = 60;
  app.scripture.nextScriptureTick = 1;
  const uint64_t before = GetTickCount64();
  app.shell.lastTickTick = before - 6000;
  live_.Send(WM_TIMER, TIMER_TICK);
  EXPECT_FALSE(app.scripture.requestPending);
  EXPECT_GE(app.scripture.nextScriptureTick, before + 60000);
}

}  // namespace
}  // namespace companion
