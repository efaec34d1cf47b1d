#include "scripture/requests_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "app/companion_app_win.h"
#include "bubble/bubble_window_win.h"
#include "settings/preferences_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

// A companion with real windows and preferences in a temporary folder. The Bible server is not
// reachable from the tests, so every online request ends in the offline backup.
class ScriptureFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<CompanionApp>();
    LoadPreferencesFrom(*app_, temp_.Path());
    app_->companionWindow = CreateWindowExW(0, L"STATIC", L"Companion", WS_POPUP, 0, 0, 280, 190,
                                            nullptr, nullptr, nullptr, nullptr);
    app_->bubbleWindow =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_NOACTIVATE, L"STATIC", L"Scripture", WS_POPUP, 0, 0,
                        350, 260, app_->companionWindow, nullptr, nullptr, nullptr);
    app_->positionX = 600;
    app_->positionY = 600;
  }
  void TearDown() override {
    if (app_->scriptureFuture.valid()) app_->scriptureFuture.wait();
    DestroyWindow(app_->bubbleWindow);
    DestroyWindow(app_->companionWindow);
  }
  void WaitForWorker() {
    ASSERT_TRUE(app_->scriptureFuture.valid());
    ASSERT_EQ(app_->scriptureFuture.wait_for(std::chrono::seconds(60)), std::future_status::ready);
  }

  testing::TempFolder temp_;
  std::unique_ptr<CompanionApp> app_;
};

TEST_F(ScriptureFlow, TwoQuickAsksStartOneWorkerAndShowOneOfflineVerse) {
  std::mt19937 oneSeedDrawn = app_->scriptureRandom;
  oneSeedDrawn();
  RequestScripture(*app_, false);
  RequestScripture(*app_, false);
  EXPECT_TRUE(app_->scriptureRandom == oneSeedDrawn);
  EXPECT_TRUE(app_->requestPending);

  WaitForWorker();
  CollectScripture(*app_);
  EXPECT_FALSE(app_->scriptureFuture.valid());
  EXPECT_FALSE(app_->requestPending);
  EXPECT_TRUE(app_->bubbleVisible);
  EXPECT_TRUE(IsWindowVisible(app_->bubbleWindow));
  EXPECT_TRUE(app_->currentOffline);
  EXPECT_EQ(app_->currentTranslation, u"web");
  EXPECT_FALSE(app_->currentText.empty());
  EXPECT_TRUE(app_->hintText.empty());  // no hint window in this fixture
  EXPECT_EQ(app_->scriptureHistory.size(), 1u);
  EXPECT_EQ(app_->scripturesViewed, 1);
  EXPECT_EQ(app_->nextScriptureTick, 0u);
  EXPECT_GE(app_->bubbleHideTick, GetTickCount64() + 9000);
  EXPECT_NE(testing::ReadWholeFile(app_->preferencesPath).find("ScripturesViewed=1\r\n"),
            std::string::npos);
}

TEST_F(ScriptureFlow, HideWhileRunningOrphansTheResult) {
  RequestScripture(*app_, false);
  HideBubble(*app_);
  WaitForWorker();
  CollectScripture(*app_);
  EXPECT_FALSE(app_->scriptureFuture.valid());
  EXPECT_FALSE(app_->bubbleVisible);
  EXPECT_TRUE(app_->scriptureHistory.empty());
}

TEST_F(ScriptureFlow, TranslationChangeAsksAgain) {
  app_->translationIndex = 0;
  RequestScripture(*app_, true);
  app_->translationIndex = 2;
  WaitForWorker();
  CollectScripture(*app_);
  EXPECT_TRUE(app_->scriptureFuture.valid());  // a new worker for the new translation
  EXPECT_TRUE(app_->requestPending);
  EXPECT_TRUE(app_->requestAutomatic);
  EXPECT_FALSE(app_->bubbleVisible);
  WaitForWorker();
  CollectScripture(*app_);
  EXPECT_TRUE(app_->bubbleVisible);
}

TEST_F(ScriptureFlow, AutomaticResultAfterPausingIsDropped) {
  RequestScripture(*app_, true);
  app_->paused = true;
  WaitForWorker();
  CollectScripture(*app_);
  EXPECT_FALSE(app_->requestPending);
  EXPECT_FALSE(app_->bubbleVisible);

  RequestScripture(*app_, false);  // a manual ask still shows while paused
  WaitForWorker();
  CollectScripture(*app_);
  EXPECT_TRUE(app_->bubbleVisible);
}

TEST_F(ScriptureFlow, HeldBackWhileLocked) {
  app_->sessionLocked = true;
  RequestScripture(*app_, false);
  EXPECT_FALSE(app_->scriptureFuture.valid());
  EXPECT_FALSE(app_->requestPending);
}

TEST_F(ScriptureFlow, PreviousStepsBackThenReshows) {
  PresentScripture(*app_, u"First text.", u"John 1:1", u"kjv", false, true);
  PresentScripture(*app_, u"Second text.", u"John 1:2", u"kjv", false, true);
  PresentScripture(*app_, u"Third text.", u"John 1:3", u"kjv", false, true);
  const char16_t* const kShown[] = {u"Second text.", u"First text.", u"First text."};
  for (const char16_t* shown : kShown) {
    ShowPreviousScripture(*app_);
    EXPECT_EQ(app_->currentText, shown);
  }
  EXPECT_EQ(app_->historyIndex, 0);
  EXPECT_EQ(app_->scripturesViewed, 5);  // the refused step back counts nothing

  HideBubble(*app_);
  ShowPreviousScripture(*app_);
  EXPECT_EQ(app_->currentText, u"First text.");
  EXPECT_TRUE(app_->bubbleVisible);
  EXPECT_EQ(app_->scriptureHistory.size(), 3u);
  EXPECT_EQ(app_->scripturesViewed, 6);
}

TEST_F(ScriptureFlow, PreviousWithEmptyHistoryDoesNothing) {
  ShowPreviousScripture(*app_);
  EXPECT_FALSE(app_->bubbleVisible);
  EXPECT_EQ(app_->scripturesViewed, 0);
}

}  // namespace
}  // namespace companion
