#include "scripture/requests.h"

#include <gtest/gtest.h>

#include <string>

namespace companion {
namespace {

TEST(RequestStateOf, TableOfTheFourStates) {
  struct Case {
    bool futureValid;
    bool resultReady;
    bool pending;
    RequestState state;
  };
  const Case kCases[] = {
      {false, false, false, RequestState::Idle},
      {false, false, true, RequestState::Idle},  // asked, blocked before a worker existed
      {true, false, true, RequestState::Running},
      {true, true, true, RequestState::Ready},
      {true, false, false, RequestState::Orphaned},
      {true, true, false, RequestState::Orphaned},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(RequestStateOf(c.futureValid, c.resultReady, c.pending), c.state);
  }
}

TEST(DecideCollect, WhatBecomesOfAFinishedResult) {
  struct Case {
    const char* name;
    CollectInputs given;
    CollectOutcome outcome;
  };
  const Case kCases[] = {
      {"hidden while running", {false, false, false, true, 0, 0}, CollectOutcome::Drop},
      {"hidden, automatic, paused", {false, true, true, true, 0, 0}, CollectOutcome::Drop},
      {"automatic after pausing", {true, true, true, true, 0, 0}, CollectOutcome::DropPaused},
      {"manual while paused", {true, false, true, true, 0, 0}, CollectOutcome::Present},
      {"translation changed", {true, false, false, true, 0, 1}, CollectOutcome::AskAgain},
      {"failed, translation changed", {true, true, false, false, 2, 3}, CollectOutcome::AskAgain},
      {"fetched", {true, true, false, true, 4, 4}, CollectOutcome::Present},
      {"failed", {true, false, false, false, 1, 1}, CollectOutcome::PresentOffline},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecideCollect(c.given), c.outcome);
  }
}

TEST(RestartedScriptureTick, GapInMillisecondsOrNone) {
  EXPECT_EQ(RestartedScriptureTick(5000, 60), 65000u);
  EXPECT_EQ(RestartedScriptureTick(5000, 3600), 3605000u);
  EXPECT_EQ(RestartedScriptureTick(5000, 0), 0u);
  EXPECT_EQ(RestartedScriptureTick(UINT64_C(0x100000000), 300), UINT64_C(0x100000000) + 300000);
}

TEST(TickGapRestartsSchedule, OnlyAfterMoreThanFiveSeconds) {
  struct Case {
    uint64_t now;
    uint64_t last;
    bool restarts;
  };
  const Case kCases[] = {
      {10000, 9000, false}, {10000, 5000, false},
      {10001, 5000, true},  {10000, 0, false},  // the first tick, and the first after a resume
      {4000, 9000, false},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(TickGapRestartsSchedule(c.now, c.last), c.restarts) << c.now << " " << c.last;
  }
}

TEST(DecideAutomaticPrompt, OneTick) {
  struct Case {
    const char* name;
    uint64_t now;
    uint64_t next;
    int32_t gap;
    bool busy;
    PromptDecision decision;
  };
  const Case kCases[] = {
      {"gap off", 100000, 50000, 0, false, {0, false}},
      {"gap off while busy", 100000, 50000, 0, true, {0, false}},
      {"not scheduled", 100000, 0, 60, false, {160000, false}},
      {"due", 100000, 100000, 60, false, {0, true}},
      {"overdue", 100000, 40000, 60, false, {0, true}},
      {"waiting", 100000, 100001, 60, false, {100001, false}},
      {"busy pushes it on", 100000, 40000, 60, true, {160000, false}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const PromptDecision d = DecideAutomaticPrompt(c.now, c.next, c.gap, c.busy);
    EXPECT_EQ(d.nextScriptureTick, c.decision.nextScriptureTick);
    EXPECT_EQ(d.requestAutomatic, c.decision.requestAutomatic);
  }
}

// The Scripture side of the once-a-second tick, in the handler's order, with nothing else
// happening: returns the tick at which the first automatic request is made, or 0.
uint64_t FirstAutomaticRequest(uint64_t hiddenAt, int32_t gap, bool paused, uint64_t firstTick,
                               uint64_t until) {
  uint64_t next = RestartedScriptureTick(hiddenAt, gap);  // what hiding the bubble leaves
  uint64_t lastTick = 0;
  for (uint64_t now = firstTick; now <= until; now += 1000) {
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
  struct Case {
    const char* name;
    uint64_t hiddenAt;
    uint64_t firstTick;
    int32_t gap;
    bool paused;
    uint64_t requestAt;
  };
  const Case kCases[] = {
      {"ticks aligned", 1000000, 1000000, 60, false, 1060000},
      {"ticks between", 1000400, 1000000, 60, false, 1061000},
      {"gap off", 1000000, 1000000, 0, false, 0},
      {"paused", 1000000, 1000000, 60, true, 0},
      {"five minutes", 1000000, 1000500, 300, false, 1300500},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstAutomaticRequest(c.hiddenAt, c.gap, c.paused, c.firstTick, 5000000),
              c.requestAt);
  }
}

TEST(AutomaticSchedule, SleepRestartsTheGap) {
  // Ticks each second from T, then a sleep of 40 s half-way through a 60 s gap.
  const uint64_t t = 1000000;
  uint64_t next = RestartedScriptureTick(t, 60);
  uint64_t lastTick = 0;
  uint64_t requestAt = 0;
  for (uint64_t now = t; now < t + 300000 && requestAt == 0; now += 1000) {
    if (now == t + 30000) now += 40000;
    if (TickGapRestartsSchedule(now, lastTick)) next = RestartedScriptureTick(now, 60);
    lastTick = now;
    const PromptDecision d = DecideAutomaticPrompt(now, next, 60, false);
    next = d.nextScriptureTick;
    if (d.requestAutomatic) requestAt = now;
  }
  EXPECT_EQ(requestAt, t + 70000 + 60000);
}

ScriptureHistoryEntry Entry(const std::u16string& text, const char16_t* code = u"web",
                            bool offline = false) {
  return {text, u"Ref " + text, code, offline};
}

TEST(PushHistory, SameEntryTwiceKeepsOne) {
  std::vector<ScriptureHistoryEntry> history;
  int32_t index = -1;
  PushHistory(history, index, Entry(u"a"));
  PushHistory(history, index, Entry(u"b"));
  PushHistory(history, index, Entry(u"b", u"web", true));  // the offline flag is not compared
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(history[1].offline);

  index = 0;  // stepped back, then the newest is shown again
  PushHistory(history, index, Entry(u"b"));
  EXPECT_EQ(history.size(), 2u);
  EXPECT_EQ(index, 1);

  PushHistory(history, index, Entry(u"b", u"kjv"));  // another translation is another entry
  PushHistory(history, index, Entry(u"a"));          // only the newest entry is compared
  EXPECT_EQ(history.size(), 4u);
  EXPECT_EQ(index, 3);
}

TEST(PushHistory, SeventhPushesOutTheOldest) {
  std::vector<ScriptureHistoryEntry> history;
  int32_t index = -1;
  for (char16_t c = u'1'; c <= u'7'; ++c)
    PushHistory(history, index, Entry(std::u16string(1, c)));
  ASSERT_EQ(history.size(), 6u);
  EXPECT_EQ(history.front().text, u"2");
  EXPECT_EQ(history.back().text, u"7");
  EXPECT_EQ(index, 5);
}

TEST(PreviousScriptureIndex, StepsBackOnlyWhileAScriptureIsShown) {
  struct Case {
    int32_t index;
    std::size_t size;
    bool onDisplay;
    int32_t shown;
  };
  const Case kCases[] = {
      {-1, 0, false, -1}, {-1, 0, true, -1},                    // empty history
      {5, 6, true, 4},    {1, 6, true, 0},   {0, 6, true, -1},  // back to the oldest, no further
      {3, 6, false, 3},   {0, 1, false, 0},                     // no bubble: show it again
      {6, 6, false, -1},  {6, 6, true, -1},                     // an index past the end
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(PreviousScriptureIndex(c.index, c.size, c.onDisplay), c.shown)
        << c.index << " " << c.size << " " << c.onDisplay;
  }
}

TEST(RaisedScripturesViewed, HeldAtFifty) {
  EXPECT_EQ(RaisedScripturesViewed(0), 1);
  EXPECT_EQ(RaisedScripturesViewed(48), 49);
  EXPECT_EQ(RaisedScripturesViewed(49), 50);
  EXPECT_EQ(RaisedScripturesViewed(50), 50);
  int32_t viewed = 0;
  for (int i = 0; i < 200; ++i)
    viewed = RaisedScripturesViewed(viewed);
  EXPECT_EQ(viewed, 50);
}

}  // namespace
}  // namespace companion
