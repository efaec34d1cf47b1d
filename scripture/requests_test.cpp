#include "scripture/requests.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "scripture/book_source.h"

namespace companion {
namespace {

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

// Clock rules at their bounds, with clocks behind or past 32 bits (the tick's gap bounds are tested
// with the tick). A body the HTTP stack may have decoded is never held to the announced size.
TEST(ScheduleRules, BoundsAndClocksPast32Bits) {
  constexpr uint64_t kStart = UINT64_C(0x100000000) + 5;
  EXPECT_TRUE(TickGapRestartsSchedule(kStart + 5001, kStart));
  EXPECT_FALSE(TickGapRestartsSchedule(1000000, 1005001));
  EXPECT_EQ(RestartedScriptureTick(kStart, 300), kStart + 300000);
  EXPECT_TRUE(OnlineAttemptOverdue(kStart + kOnlineAttemptLimitMs, kStart));
  EXPECT_FALSE(OnlineAttemptOverdue(kStart + kOnlineAttemptLimitMs - 1, kStart) ||
               OnlineAttemptOverdue(kStart - 1, kStart) || OnlineAttemptOverdue(kStart, 0));
  EXPECT_TRUE(BodyComparesToContentLength(false, false));
  EXPECT_FALSE(BodyComparesToContentLength(false, true) ||
               BodyComparesToContentLength(true, false));
  for (const PromptDecision d : {DecideAutomaticPrompt(100000, 0, 60, false),
                                 DecideAutomaticPrompt(100000, 40000, 60, true)})
    EXPECT_TRUE(d.nextScriptureTick == 160000u && !d.requestAutomatic);
  EXPECT_EQ(RestartedScriptureTick(1, 0), 0u);  // no gap: nothing is scheduled
  EXPECT_EQ(DecideAutomaticPrompt(1, 5, 0, true).nextScriptureTick, 0u);
}

ScriptureHistoryEntry Entry(const std::u16string& text, const char16_t* code = u"web") {
  return {text, u"Ref " + text, code, false};
}

// Only the newest entry is compared (never by its offline flag); steps back stay inside.
TEST(History, SameNewestEntryKeepsOneASeventhPushesOutTheOldestAndStepsStayInside) {
  std::vector<ScriptureHistoryEntry> history;
  int32_t index = -1;
  PushHistory(history, index, Entry(u"a"));
  PushHistory(history, index, Entry(u"b"));
  index = 0;  // stepped back, then the newest comes again, offline this time
  PushHistory(history, index, {u"b", u"Ref b", u"web", true});
  EXPECT_TRUE(history.size() == 2u && index == 1 && !history[1].offline);
  for (const auto& e : {Entry(u"b", u"kjv"), Entry(u"a"), Entry(u"c"), Entry(u"d"), Entry(u"e")})
    PushHistory(history, index, e);
  EXPECT_TRUE(history.size() == 6u && history.front().text == u"b" && index == 5);
  EXPECT_TRUE(PreviousScriptureIndex(3, 6, false) == 3 &&
              PreviousScriptureIndex(-1, 0, true) == -1 &&
              PreviousScriptureIndex(0, 6, true) == -1 && PreviousScriptureIndex(6, 6, true) == -1);
}

}  // namespace
}  // namespace companion
