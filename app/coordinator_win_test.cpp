#include "app/coordinator_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "bubble/bubble_window_win.h"
#include "scripture/requests_win.h"
#include "tests/live_companion_win.h"

namespace companion {
namespace {

// No server is reachable: requests end offline. Wine 8 ignores the close of a stuck request.
TEST(ScriptureFlow, HistoryStepsBackAndRequestsWaitOutALockRunOneAtATimeAndNeverHoldUpExit) {
  testing::LiveCompanion live;
  CompanionApp& app = live.app();
  ShowPreviousScripture(app);  // an empty history: nothing to show or count
  for (const char16_t* text : {u"First text.", u"Second text.", u"Third text."})
    PresentScripture(app, {text, u"John 1:1", u"kjv", false}, true);
  for (const char16_t* shown : {u"Second text.", u"First text.", u"First text."}) {
    ShowPreviousScripture(app);
    EXPECT_EQ(app.scripture.currentText, shown);
  }
  EXPECT_EQ(app.preferences.scripturesViewed, 5);  // nor does the refused step back
  HideBubble(app);
  ShowPreviousScripture(app);
  EXPECT_TRUE(app.bubble.bubbleVisible && app.scripture.currentText == u"First text." &&
              app.preferences.scripturesViewed == 6);

  const auto finishAndCollect = [&] {
    ASSERT_EQ(app.scripture.scriptureFuture.wait_for(std::chrono::seconds(60)),
              std::future_status::ready);
    CollectAndPresent(app);
  };
  HideBubble(app);
  app.shell.sessionLocked = true;
  RequestScripture(app, false);
  EXPECT_FALSE(app.scripture.scriptureFuture.valid() || app.scripture.requestPending);
  app.shell.sessionLocked = false;
  std::mt19937 oneSeedDrawn = app.scriptureRandom;
  oneSeedDrawn();
  RequestScripture(app, false);
  RequestScripture(app, false);
  EXPECT_TRUE(app.scriptureRandom == oneSeedDrawn);
  finishAndCollect();
  EXPECT_TRUE(IsWindowVisible(app.shell.bubbleWindow) && app.scripture.currentOffline &&
              app.bubble.bubbleHideTick >= GetTickCount64() + 9000);

  RequestScripture(app, false);  // hidden while it runs: its result is dropped
  HideBubble(app);
  finishAndCollect();
  EXPECT_TRUE(!app.bubble.bubbleVisible && app.scripture.scriptureHistory.size() == 4);

  std::promise<OnlineVerse> stuck;
  app.scripture.scriptureFuture = stuck.get_future();
  app.scripture.requestPending = true;
  EndScriptureRequest(app);
  EXPECT_FALSE(app.scripture.scriptureFuture.valid() || app.scripture.requestPending);
}

}  // namespace
}  // namespace companion
