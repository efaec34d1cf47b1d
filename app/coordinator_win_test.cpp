#include "app/coordinator_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "bubble/bubble_window_win.h"
#include "scripture/requests_win.h"
#include "tests/live_companion_win.h"

namespace companion {
namespace {

// No server is reachable from the tests: every online request ends in the offline backup.
class ScriptureFlow : public ::testing::Test {
 protected:
  void FinishAndCollect() {
    ASSERT_EQ(app_->scripture.scriptureFuture.wait_for(std::chrono::seconds(60)),
              std::future_status::ready);
    CollectAndPresent(*app_);
  }

  testing::LiveCompanion live_;
  CompanionApp* app_ = &live_.app();
};

TEST_F(ScriptureFlow, LockedAsksWaitAndTwoQuickAsksStartOneWorkerShowingOneOfflineVerse) {
  app_->shell.sessionLocked = true;
  RequestScripture(*app_, false);
  EXPECT_FALSE(app_->scripture.scriptureFuture.valid() || app_->scripture.requestPending);
  app_->shell.sessionLocked = false;
  std::mt19937 oneSeedDrawn = app_->scriptureRandom;
  oneSeedDrawn();
  RequestScripture(*app_, false);
  RequestScripture(*app_, false);
  EXPECT_TRUE(app_->scriptureRandom == oneSeedDrawn);

  FinishAndCollect();
  EXPECT_TRUE(IsWindowVisible(app_->shell.bubbleWindow) && app_->scripture.currentOffline);
  EXPECT_GE(app_->bubble.bubbleHideTick, GetTickCount64() + 9000);
}

TEST_F(ScriptureFlow, HideWhileRunningOrphansTheResultAndATranslationChangeAsksAgain) {
  RequestScripture(*app_, false);
  HideBubble(*app_);
  FinishAndCollect();
  EXPECT_TRUE(!app_->bubble.bubbleVisible && app_->scripture.scriptureHistory.empty());

  app_->preferences.translationIndex = 0;
  RequestScripture(*app_, true);
  app_->preferences.translationIndex = 2;
  FinishAndCollect();
  EXPECT_TRUE(app_->scripture.requestPending && app_->scripture.requestAutomatic &&
              !app_->bubble.bubbleVisible);
  FinishAndCollect();
  EXPECT_TRUE(app_->bubble.bubbleVisible);
}

// A worker stuck on the network (Wine 8 ignores the close of its request) holds no exit up.
TEST_F(ScriptureFlow, EndingTheRequestAtExitDoesNotWaitForAStuckWorker) {
  std::promise<OnlineVerse> stuck;
  app_->scripture.scriptureFuture = stuck.get_future();
  app_->scripture.requestPending = true;
  EndScriptureRequest(*app_);
  EXPECT_FALSE(app_->scripture.scriptureFuture.valid() || app_->scripture.requestPending);
}

TEST_F(ScriptureFlow, PreviousStepsBackThenReshowsAndCountsEachShowing) {
  ShowPreviousScripture(*app_);  // an empty history: nothing to show or count
  for (const char16_t* text : {u"First text.", u"Second text.", u"Third text."})
    PresentScripture(*app_, {text, u"John 1:1", u"kjv", false}, true);
  for (const char16_t* shown : {u"Second text.", u"First text.", u"First text."}) {
    ShowPreviousScripture(*app_);
    EXPECT_EQ(app_->scripture.currentText, shown);
  }
  EXPECT_EQ(app_->preferences.scripturesViewed, 5);  // nor does the refused step back

  HideBubble(*app_);
  ShowPreviousScripture(*app_);
  EXPECT_TRUE(app_->bubble.bubbleVisible && app_->scripture.currentText == u"First text.");
  EXPECT_EQ(app_->preferences.scripturesViewed, 6);
}

}  // namespace
}  // namespace companion
