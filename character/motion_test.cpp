#include "character/motion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace companion {
namespace {

// The companion's motion members with a fake clock: the frame timer fires every 41 ms while it is
// set, the behaviour tick every whole second.
struct FakeCompanion : MotionGroup {
  int32_t positionX = 1000;

  MotionFacts facts{.walkBoundsLeft = 0, .walkBoundsRight = 1920};
  std::mt19937 random{7};
  int32_t clip = 0;
  bool pointerOn = false, timerSet = false;
  uint64_t clock = 0, nextFrame = 0;
  std::vector<uint64_t> timerStarts, times;  // times[i]: when the figure entered states[i]
  std::vector<MotionState> states;

  MotionPlatform platform{
      .ensureClip = [this](int32_t index) { clip = index; },
      .clipDurationMs =
          [this] { return ClipDurationMs(facts.younger ? YoungerClip : MotionClips[clip]); },
      .setMotionTimer =
          [this] {
            timerSet = true;
            nextFrame = clock + 41;
            timerStarts.push_back(clock);
          },
      .killMotionTimer = [this] { timerSet = false; },
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
  void Enter(MotionState state, uint64_t now) {
    At(now, [&](auto& m) { SetMotionState(m, state, now); });
  }
  void RunUntil(uint64_t end) {
    for (uint64_t t = clock + 1; t <= end; ++t) {
      clock = t;
      if (timerSet && t >= nextFrame) {
        nextFrame = t + 41;
        At(t, [&](auto& m) { MotionStep(m, t); });
      }
      if (t % 1000 == 0) At(t, [&](auto& m) { BehaviourTick(m, t); });
    }
  }
  std::vector<MotionState> StatesSince(size_t first) const {
    return {states.begin() + std::ptrdiff_t(first), states.end()};
  }
};

using enum MotionState;
using States = std::vector<MotionState>;

void ExpectGapsWithin(const std::vector<uint64_t>& starts, uint64_t low, uint64_t high) {
  ASSERT_GE(starts.size(), 2u);
  for (size_t i = 1; i < starts.size(); ++i)
    EXPECT_TRUE(starts[i] - starts[i - 1] >= low && starts[i] - starts[i - 1] <= high) << i;
}

class MotionRun : public ::testing::Test, public FakeCompanion {};

// Any one of these facts flipped from its default keeps the timer stopped; the clip then starts
// once nothing blocks it.
TEST(SetMotionState, StartsTheFrameTimerOnlyWhenMotionMayRun) {
  for (bool MotionFacts::*flipped :
       {&MotionFacts::movementEnabled, &MotionFacts::paused, &MotionFacts::sessionLocked,
        &MotionFacts::suspended, &MotionFacts::dragging}) {
    FakeCompanion fake;
    fake.facts.*flipped = !(fake.facts.*flipped);
    fake.Enter(Wave, 1000);
    fake.At(2000, [](auto& m) { ResumeMotion(m, 2000); });
    EXPECT_FALSE(fake.motionTimerRunning);
    fake.facts.*flipped = !(fake.facts.*flipped);
    fake.At(3000, [](auto& m) { ResumeMotion(m, 3000); });
    EXPECT_TRUE(fake.motionTimerRunning && fake.motionStartTick == 3000);
  }
}

TEST_F(MotionRun, LeftAloneItSleepsAndThePointerWakesItToWave) {
  Enter(Idle, 0);
  RunUntil(700000);
  const size_t sit = size_t(std::find(states.begin(), states.end(), SitDown) - states.begin());
  ASSERT_EQ(StatesSince(sit), (States{SitDown, Seated, LieDown, Asleep}));
  // Sitting waits for a random walk or wave that is under way at 90 s to end.
  EXPECT_TRUE(times[sit] >= 90000u && times[sit] <= 90000u + 8000 + 1000) << times[sit];
  EXPECT_EQ(times[sit + 2], 300000u);
  ExpectGapsWithin(
      {std::upper_bound(timerStarts.begin(), timerStarts.end(), times[sit + 3]), timerStarts.end()},
      11000, 17000);

  pointerOn = true;
  RunUntil(701000);
  pointerOn = false;
  EXPECT_EQ(clip, 8);
  const size_t rise = states.size() - 1;
  RunUntil(730000);
  EXPECT_EQ(StatesSince(rise), (States{Rise, Wave, Idle}));
}

TEST_F(MotionRun, YoungerFigureOnlyReplaysItsClip) {
  facts.younger = true;
  Enter(Idle, 0);
  RunUntil(400000);
  EXPECT_EQ(StatesSince(0), (States{Idle}));
  ExpectGapsWithin(timerStarts, 16000, 22000);
}

TEST_F(MotionRun, WalkClampedAtItsStartStillPlaysTheWholeClipInPlace) {
  // Bounds narrower than the figure: every target is their left edge, where the figure stands.
  facts.walkBoundsLeft = 1000;
  facts.walkBoundsRight = 1100;
  Enter(Idle, 0);
  while (motionState != Walk && clock < 80000)
    RunUntil(clock + 1000);
  ASSERT_EQ(motionState, Walk);
  const uint64_t start = motionStartTick;
  EXPECT_EQ(clip, 1);
  while (motionState == Walk) {
    RunUntil(clock + 1);
    EXPECT_EQ(positionX, 1000);
  }
  EXPECT_GE(clock, start + 8000);
}

// A press, the menu or full screen stops the frame timer; nothing else restarts a walk or a wave.
TEST_F(MotionRun, ClipStoppedByABlockerGoesOnFromTheSameFrameOnceNothingBlocksIt) {
  positionX = walkFromX = 100;
  walkToX = 300;
  Enter(Walk, 1000);
  RunUntil(5500);
  const int32_t stoppedAt = positionX;
  facts.fullScreenQuiet = true;
  At(5500, [](auto& m) { FreezeMotion(m, 5500); });
  RunUntil(60000);
  At(60000, [](auto& m) { ResumeMotion(m, 60000); });
  EXPECT_TRUE(motionState == Walk && positionX == stoppedAt && !timerSet);
  facts.fullScreenQuiet = false;
  At(60000, [](auto& m) { ResumeMotion(m, 60000); });
  RunUntil(60041);
  EXPECT_EQ(positionX, WalkPositionX(100, 300, 5541 - 1000, 8000));  // 41 ms on from 5500
  RunUntil(73000);
  EXPECT_TRUE(StatesSince(1) == States{Idle} && times[1] >= 63500u);
  // The idle clip rested on its last frame: it stays there.
  At(73000, [](auto& m) { FreezeMotion(m, 73000); });
  At(73100, [](auto& m) { ResumeMotion(m, 73100); });
  EXPECT_FALSE(timerSet);
}

TEST_F(MotionRun, BehaviourTickLeavesAShownScriptureAlone) {
  Enter(Idle, 0);
  facts.bubbleVisible = true;
  RunUntil(200000);
  EXPECT_EQ(StatesSince(0), (States{Idle}));
}

TEST(WalkPositionX, StandsOneSecondThenMovesAtConstantSpeed) {
  // In the first second an unsigned difference would wrap and jump the figure to the end.
  EXPECT_EQ(WalkPositionX(100, 300, 0, 8000), 100);
  EXPECT_EQ(WalkPositionX(100, 300, 4500, 8000), 200);
  EXPECT_EQ(WalkPositionX(100, 300, 60000, 8000), 300);
  // A clip shorter than the standing second moves at once to its end.
  EXPECT_EQ(WalkPositionX(0, 100, 1001, 500), 100);
}

// Arguments: position, draw (0 to 400, 200 stays), scale, bounds.
TEST(WalkTarget, AtMostTwoHundredFramePixelsKeptInsideTheBounds) {
  EXPECT_DOUBLE_EQ(WalkTarget(1000, 400, 0.375f, 0, 1920), 1075);
  EXPECT_DOUBLE_EQ(WalkTarget(1640, 300, 1.0f, 0, 1920), 1640);  // 1920 less the frame's 280
  EXPECT_DOUBLE_EQ(WalkTarget(50, 400, 1.0f, 0, 200), 0);        // bounds narrower than the figure
}

TEST(FrameElapsedMs, ForwardsExceptTheStandUpFromSitting) {
  EXPECT_EQ(FrameElapsedMs(900, 1000, 4500, Idle, false), 0u);
  EXPECT_EQ(FrameElapsedMs(2000, 1000, 4500, Rise, true), 3500u);
  EXPECT_EQ(FrameElapsedMs(9000, 1000, 4500, Rise, true), 0u);
  EXPECT_EQ(FrameElapsedMs(2000, 1000, 8000, Rise, false), 1000u);
}

int32_t Sink(MotionState state, bool riseFromSitting, uint64_t elapsed, int32_t workBottom,
             float scale, bool freePlacement = false) {
  return SinkOffset({freePlacement, state, riseFromSitting, 10000 + elapsed, 10000, 4500, 1080,
                     workBottom, scale});
}

TEST(SinkOffset, DepthFromTheTaskbarAndFactorFromTheState) {
  EXPECT_EQ(Sink(Seated, false, 0, 1040, 0.375f), 22);     // capped by the scale
  EXPECT_EQ(Sink(Seated, false, 0, 1040, 1.125f), 48);     // capped by the taskbar
  EXPECT_EQ(Sink(SitDown, false, 1125, 1040, 0.375f), 3);  // a quarter of the way, eased
  EXPECT_EQ(Sink(Rise, true, 1125, 1040, 0.375f), 18);
  EXPECT_EQ(Sink(Seated, false, 0, 1120, 1.0f), 8);  // work area below the monitor
  EXPECT_EQ(Sink(Seated, false, 0, 1040, 1.0f, true), 0);
}

}  // namespace
}  // namespace companion
