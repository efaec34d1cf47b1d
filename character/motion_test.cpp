#include "character/motion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace companion {
namespace {

// The motion members on a fake clock: a frame each 41 ms while the timer runs, a tick each second.
struct MotionRun : ::testing::Test, MotionGroup {
  int32_t positionX = 1000;
  MotionFacts facts{.walkBoundsLeft = 0, .walkBoundsRight = 1920};
  std::mt19937 random{7};
  int32_t clip = 0;
  bool pointerOn = false;
  uint64_t clock = 0, timerSince = 0;        // 0 while the frame timer is stopped
  std::vector<uint64_t> timerStarts, times;  // times[i]: when the figure entered states[i]
  std::vector<MotionState> states;
  MotionPlatform platform{
      .ensureClip = [this](int32_t index) { clip = index; },
      .clipDurationMs =
          [this] { return ClipDurationMs(facts.younger ? YoungerClip : MotionClips[clip]); },
      .setMotionTimer = [this] { timerStarts.push_back(timerSince = clock); },
      .killMotionTimer = [this] { timerSince = 0; },
      .renderCharacter = [](uint64_t) {},
      .pointerOnCharacter = [this] { return pointerOn; },
  };

  void At(uint64_t now, auto call) {
    clock = now;
    MotionMachine m{*this, positionX, facts, platform, random};
    call(m);
    if (states.empty() || states.back() != motionState) {
      states.push_back(motionState);
      times.push_back(clock);
    }
  }
  void RunUntil(uint64_t end) {
    for (uint64_t t = clock + 1; t <= end; ++t) {
      clock = t;
      if (timerSince != 0 && (t - timerSince) % 41 == 0) At(t, [&](auto& m) { MotionStep(m, t); });
      if (t % 1000 == 0) At(t, [&](auto& m) { BehaviourTick(m, t); });
    }
  }
};

using enum MotionState;
using States = std::vector<MotionState>;

// The frame timer started more than twice after `from`, each `low` to `high` ms after the last.
bool GapsWithin(const std::vector<uint64_t>& s, uint64_t from, uint64_t low, uint64_t high) {
  for (size_t i = 1; i < s.size(); ++i)
    if (s[i - 1] > from && (s[i] - s[i - 1] < low || s[i] - s[i - 1] > high)) return false;
  return s.end() - std::upper_bound(s.begin(), s.end(), from) > 2;
}

// Sitting waits for a walk or wave under way at 90 s to end; a shown Scripture holds the figure.
TEST_F(MotionRun, LeftAloneItSleepsThePointerWakesItToWaveAndAShownScriptureHoldsIt) {
  RunUntil(700000);
  const size_t sit = size_t(std::find(states.begin(), states.end(), SitDown) - states.begin());
  ASSERT_EQ(States(states.begin() + sit, states.end()), (States{SitDown, Seated, LieDown, Asleep}));
  EXPECT_TRUE(times[sit] >= 90000u && times[sit] <= 99000u && times[sit + 2] == 300000u);
  EXPECT_TRUE(GapsWithin(timerStarts, times[sit + 3], 11000, 17000));  // replays while asleep
  pointerOn = true;
  RunUntil(701000);
  EXPECT_EQ(clip, kRiseFromLyingClip);
  const size_t rise = states.size() - 1;
  RunUntil(730000);
  EXPECT_EQ(States(states.begin() + rise, states.end()), (States{Rise, Wave, Idle}));
  facts.bubbleVisible = true;
  RunUntil(900000);
  EXPECT_EQ(states.size(), rise + 3);
}

TEST_F(MotionRun, YoungerFigureOnlyReplaysItsClip) {
  facts.younger = true;
  RunUntil(400000);
  EXPECT_TRUE(states == States{Idle} && GapsWithin(timerStarts, 0, 16000, 22000));
}

// Bounds narrower than the figure: every target is their left edge, where the figure stands.
TEST_F(MotionRun, WalkClampedAtItsStartStillPlaysTheWholeClipInPlace) {
  facts = {.walkBoundsLeft = 1000, .walkBoundsRight = 1100};
  while (motionState != Walk && clock < 80000)
    RunUntil(clock + 1000);
  const uint64_t start = motionStartTick;
  while (motionState == Walk) {
    RunUntil(clock + 1);
    EXPECT_EQ(positionX, 1000);
  }
  EXPECT_GE(clock, start + 8000);
}

// A press, the menu, full screen, a lock, a suspend, pausing or turning movement off stops the
// frame timer, and nothing restarts a walk while any one remains; then it goes on from its frame.
TEST_F(MotionRun, ClipStoppedByABlockerGoesOnFromTheSameFrameOnceNothingBlocksIt) {
  positionX = walkFromX = 100;
  walkToX = 300;
  At(1000, [](auto& m) { SetMotionState(m, Walk, 1000); });
  RunUntil(5500);
  const int32_t stoppedAt = positionX;
  At(5500, [](auto& m) { FreezeMotion(m, 5500); });
  for (bool MotionFacts::*blocker :
       {&MotionFacts::movementEnabled, &MotionFacts::paused, &MotionFacts::sessionLocked,
        &MotionFacts::suspended, &MotionFacts::dragging, &MotionFacts::fullScreenQuiet}) {
    facts.*blocker = !(facts.*blocker);
    RunUntil(clock + 10000);
    At(clock, [this](auto& m) { ResumeMotion(m, clock); });
    EXPECT_TRUE(motionState == Walk && positionX == stoppedAt && timerSince == 0);
    facts.*blocker = !(facts.*blocker);
  }
  At(65500, [](auto& m) { ResumeMotion(m, 65500); });
  RunUntil(65541);
  EXPECT_EQ(positionX, WalkPositionX(100, 300, 5541 - 1000, 8000));  // 41 ms on from 5500
}

// A walk stands one second (an unsigned difference would wrap and jump it to the end), then moves
// at constant speed at most 200 frame pixels; the stand-up after sitting runs backwards.
TEST(FrameGeometry, WalkPositionAndTargetElapsedTimeAndSink) {
  for (const auto& [elapsed, x] : {std::pair{0, 100}, {4500, 200}, {60000, 300}})
    EXPECT_EQ(WalkPositionX(100, 300, uint64_t(elapsed), 8000), x);
  EXPECT_EQ(WalkPositionX(0, 100, 1001, 500), 100);  // a clip shorter than the standing second
  EXPECT_DOUBLE_EQ(WalkTarget(1000, 400, 0.375f, 0, 1920), 1075);  // drawn 0 to 400, 200 stays
  EXPECT_DOUBLE_EQ(WalkTarget(1640, 300, 1.0f, 0, 1920), 1640);    // 1920 less the frame's 280
  EXPECT_EQ(FrameElapsedMs(900, 1000, 4500, Idle, false), 0u);     // a clock behind the start
  EXPECT_EQ(FrameElapsedMs(2000, 1000, 4500, Rise, true), 3500u);
  EXPECT_EQ(FrameElapsedMs(9000, 1000, 4500, Rise, true), 0u);
  // Sink: scale cap, taskbar cap, eased a quarter way down, stand-up, low work area, free
  // placement.
  const std::tuple<MotionState, bool, uint64_t, int32_t, float, bool, int32_t> kSinks[] = {
      {Seated, false, 0, 1040, 0.375f, false, 22},    {Seated, false, 0, 1040, 1.125f, false, 48},
      {SitDown, false, 1125, 1040, 0.375f, false, 3}, {Rise, true, 1125, 1040, 0.375f, false, 18},
      {Seated, false, 0, 1120, 1.0f, false, 8},       {Seated, false, 0, 1040, 1.0f, true, 0}};
  for (const auto& [state, rise, elapsed, work, scale, free, d] : kSinks)
    EXPECT_EQ(SinkOffset({free, state, rise, 10000 + elapsed, 10000, 4500, 1080, work, scale}), d);
}

}  // namespace
}  // namespace companion
