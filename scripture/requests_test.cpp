#include "scripture/requests.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "scripture/book_source.h"

namespace companion {
namespace {

// The guard against cut connections must never refuse a body the HTTP stack decoded: its size
// is not the announced (compressed) one.
TEST(BodyComparesToContentLength, OnlyWhenNothingCanHaveDecodedTheBody) {
  EXPECT_TRUE(BodyComparesToContentLength(false, false));
  EXPECT_FALSE(BodyComparesToContentLength(false, true));
  EXPECT_FALSE(BodyComparesToContentLength(true, false));
}

TEST(DecideCollect, WhatBecomesOfAFinishedResult) {
  using O = CollectOutcome;
  const std::pair<CollectInputs, CollectOutcome> kCases[] = {
      {{false, true, true, true, 0, 0}, O::Drop},       // hidden, automatic, paused
      {{true, true, true, true, 0, 0}, O::DropPaused},  // automatic after pausing
      {{true, false, true, true, 0, 0}, O::Present},    // manual while paused
      {{true, true, false, false, 2, 3}, O::AskAgain},  // failed, translation changed
      {{true, true, false, true, 4, 4}, O::Present},
      {{true, false, false, false, 1, 1}, O::PresentOffline},
  };
  for (std::size_t i = 0; i < std::size(kCases); ++i)
    EXPECT_EQ(DecideCollect(kCases[i].first), kCases[i].second) << i;
}

TEST(DecideAutomaticPrompt, BusyOrUnscheduledPushesTheNextTickOn) {
  for (const PromptDecision d : {DecideAutomaticPrompt(100000, 0, 60, false),
                                 DecideAutomaticPrompt(100000, 40000, 60, true)}) {
    EXPECT_EQ(d.nextScriptureTick, 160000u);
    EXPECT_FALSE(d.requestAutomatic);
  }
  EXPECT_EQ(DecideAutomaticPrompt(100000, 50000, 0, true).nextScriptureTick, 0u);
}

// The rules the tick and the hiding of a bubble run; the tick itself is tested where it runs.
TEST(ScheduleRules, GapAfterMoreThanFiveSecondsAndRestartPast32Bits) {
  EXPECT_FALSE(TickGapRestartsSchedule(1005000, 1000000));
  EXPECT_TRUE(TickGapRestartsSchedule(1005001, 1000000));
  EXPECT_FALSE(TickGapRestartsSchedule(9000000, 0));        // no tick before
  EXPECT_FALSE(TickGapRestartsSchedule(1000000, 1005001));  // a clock behind the last tick
  EXPECT_EQ(RestartedScriptureTick(UINT64_C(0x100000000), 300), UINT64_C(0x100000000) + 300000);
  EXPECT_EQ(RestartedScriptureTick(1000000, 0), 0u);
}

ScriptureHistoryEntry Entry(const std::u16string& text, const char16_t* code = u"web",
                            bool offline = false) {
  return {text, u"Ref " + text, code, offline};
}

TEST(PushHistory, SameNewestEntryKeepsOneAndASeventhPushesOutTheOldest) {
  std::vector<ScriptureHistoryEntry> history;
  int32_t index = -1;
  PushHistory(history, index, Entry(u"a"));
  PushHistory(history, index, Entry(u"b"));
  PushHistory(history, index, Entry(u"b", u"web", true));  // the offline flag is not compared
  index = 0;  // stepped back, then the newest is shown again
  PushHistory(history, index, Entry(u"b"));
  ASSERT_EQ(history.size(), 2u);
  EXPECT_TRUE(index == 1 && !history[1].offline);

  PushHistory(history, index, Entry(u"b", u"kjv"));  // another translation is another entry
  PushHistory(history, index, Entry(u"a"));          // only the newest entry is compared
  EXPECT_EQ(history.size(), 4u);
  EXPECT_EQ(index, 3);

  for (const char16_t* text : {u"c", u"d", u"e"})
    PushHistory(history, index, Entry(text));
  ASSERT_EQ(history.size(), 6u);
  EXPECT_TRUE(history.front().text == u"b" && index == 5);
}

// Arguments: the history index, the history's size, whether a Scripture is on display.
TEST(PreviousScriptureIndex, StepsBackOnlyWhileAScriptureIsShown) {
  EXPECT_EQ(PreviousScriptureIndex(-1, 0, true), -1);  // empty history
  EXPECT_EQ(PreviousScriptureIndex(0, 6, true), -1);   // nothing before the oldest
  EXPECT_EQ(PreviousScriptureIndex(3, 6, false), 3);   // no bubble: show it again
  EXPECT_EQ(PreviousScriptureIndex(6, 6, true), -1);   // past the end
}

TEST(OnlineAttempt, GivenUpAtTheLimitAndNeverWithoutAWorker) {
  constexpr uint64_t kStart = UINT64_C(0x100000000) + 5;  // past what 32 bits hold
  EXPECT_FALSE(OnlineAttemptOverdue(kStart + kOnlineAttemptLimitMs - 1, kStart));
  EXPECT_TRUE(OnlineAttemptOverdue(kStart + kOnlineAttemptLimitMs, kStart));
  EXPECT_FALSE(OnlineAttemptOverdue(kStart - 1, kStart));  // a start tick ahead of now
  EXPECT_FALSE(OnlineAttemptOverdue(kStart + 3600000, 0));
}

}  // namespace
}  // namespace companion
