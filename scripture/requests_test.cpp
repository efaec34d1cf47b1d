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
  EXPECT_FALSE(BodyComparesToContentLength(true, true));
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

// The Scripture side of the once-a-second tick, in the handler's order, with nothing else
// happening and the clock jumping by sleepMs after 30 s: the tick of the first automatic
// request, or 0.
uint64_t FirstAutomaticRequest(uint64_t hiddenAt, uint64_t firstTick, int32_t gap, bool paused,
                               uint64_t sleepMs) {
  uint64_t next = RestartedScriptureTick(hiddenAt, gap);  // what hiding the bubble leaves
  uint64_t lastTick = 0;
  for (uint64_t now = firstTick; now <= firstTick + 4000000; now += 1000) {
    if (now == firstTick + 30000) now += sleepMs;
    if (TickGapRestartsSchedule(now, lastTick)) next = RestartedScriptureTick(now, gap);
    lastTick = now;
    if (paused) {
      next = RestartedScriptureTick(now, gap);
      continue;
    }
    const PromptDecision d = DecideAutomaticPrompt(now, next, gap, false);
    next = d.nextScriptureTick;
    if (d.requestAutomatic) return now;
  }
  return 0;
}

TEST(AutomaticSchedule, FirstTickAtOrAfterTheGap) {
  constexpr uint64_t kT = 1000000;
  constexpr uint64_t kHigh = UINT64_C(0x100000000);  // past what 32 bits hold
  struct Case {
    const char* name;
    uint64_t hiddenAt, firstTick;
    int32_t gap;
    bool paused;
    uint64_t sleepMs, requestAt;
  };
  const Case kCases[] = {
      {"ticks aligned", kT, kT, 60, false, 0, kT + 60000},
      {"ticks between", kT + 400, kT, 60, false, 0, kT + 61000},
      {"past 32 bits", kHigh, kHigh, 300, false, 0, kHigh + 300000},
      {"gap off", kT, kT, 0, false, 0, 0},
      {"paused", kT, kT, 60, true, 0, 0},
      {"tick gap of 5 s keeps it", kT, kT, 60, false, 4000, kT + 60000},
      {"tick gap over 5 s restarts", kT, kT, 60, false, 4001, kT + 34001 + 60000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstAutomaticRequest(c.hiddenAt, c.firstTick, c.gap, c.paused, c.sleepMs),
              c.requestAt);
  }
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
  EXPECT_EQ(PreviousScriptureIndex(1, 6, true), 0);
  EXPECT_EQ(PreviousScriptureIndex(0, 6, true), -1);  // nothing before the oldest
  EXPECT_EQ(PreviousScriptureIndex(3, 6, false), 3);  // no bubble: show it again
  EXPECT_EQ(PreviousScriptureIndex(6, 6, true), -1);  // past the end
}

TEST(RaisedScripturesViewed, HeldAtFifty) {
  EXPECT_EQ(RaisedScripturesViewed(49), 50);
  EXPECT_EQ(RaisedScripturesViewed(50), 50);
}

TEST(OnlineAttempt, GivenUpAtTheLimitAndNeverWithoutAWorker) {
  constexpr uint64_t kStart = UINT64_C(0x100000000) + 5;  // past what 32 bits hold
  struct Case {
    uint64_t now, startTick;
    bool overdue;
  };
  const Case kCases[] = {{kStart + kOnlineAttemptLimitMs - 1, kStart, false},
                         {kStart + kOnlineAttemptLimitMs, kStart, true},
                         {kStart + 3600000, kStart, true},
                         {kStart - 1, kStart, false},  // a start tick ahead of now
                         {kStart + 3600000, 0, false}};
  for (const Case& c : kCases) {
    EXPECT_EQ(OnlineAttemptOverdue(c.now, c.startTick), c.overdue) << c.now - kStart;
  }
}

}  // namespace
}  // namespace companion
