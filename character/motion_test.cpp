#include "character/motion.h"

#include <gtest/gtest.h>

#include <vector>

namespace companion {
namespace {

struct Transition {
  uint64_t tick;
  MotionState state;
};

// The companion's motion members with a fake clock: the frame timer fires every 41 ms while it is
// set, the behaviour tick every whole second.
struct FakeCompanion {
  MotionState motionState = MotionState::Idle;
  uint64_t motionStartTick = 0, clipReplayTick = 0, idleActionTick = 0, lastInteractionTick = 0;
  double walkFromX = 0, walkToX = 0;
  bool riseFromSitting = false, waveAfterRise = false, motionTimerRunning = false;
  int32_t positionX = 1000;

  MotionFacts facts{.walkBoundsLeft = 0, .walkBoundsRight = 1920};
  std::mt19937 random{7};
  int32_t clip = 0;
  bool pointerOn = false, timerSet = false;
  uint64_t clock = 0, nextFrame = 0;
  std::vector<uint64_t> timerStarts;
  std::vector<Transition> transitions;

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

  MotionMachine Machine() {
    return {{motionState, motionStartTick, walkFromX, walkToX, riseFromSitting, waveAfterRise,
             clipReplayTick, idleActionTick, lastInteractionTick, motionTimerRunning, positionX},
            facts,
            platform,
            random};
  }

  void Enter(MotionState state, uint64_t now) {
    At(now, [&](auto& m) { SetMotionState(m, state, now); });
  }
  void Greet(uint64_t now) {
    At(now, [&](auto& m) { GreetUser(m, now); });
  }
  void At(uint64_t now, auto call) {
    clock = now;
    auto machine = Machine();
    call(machine);
    if (transitions.empty() || transitions.back().state != motionState)
      transitions.push_back({clock, motionState});
  }
  // Runs the clock up to `end`, stepping the frame timer and the second tick in time order.
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
    std::vector<MotionState> states;
    for (auto it = transitions.begin() + first; it != transitions.end(); ++it)
      states.push_back(it->state);
    return states;
  }
};

using enum MotionState;

void ExpectGapsWithin(const std::vector<uint64_t>& starts, uint64_t low, uint64_t high) {
  ASSERT_GE(starts.size(), 2u);
  for (size_t i = 1; i < starts.size(); ++i) {
    EXPECT_GE(starts[i] - starts[i - 1], low) << i;
    EXPECT_LE(starts[i] - starts[i - 1], high) << i;
  }
}

// Each run starts from a fresh fake; its members are the test's own.
class MotionRun : public ::testing::Test, public FakeCompanion {};

// The rises' clips and a walk in place are checked by the runs below.
TEST(ClipForState, WalkDirectionPicksTheClip) {
  EXPECT_EQ(ClipForState(Walk, 100, 200, false), 1);
  EXPECT_EQ(ClipForState(Walk, 200, 100, false), 2);
}

TEST_F(MotionRun, SetMotionStateDrawsTheReplayDelayBeforeTheIdleActionDelay) {
  std::mt19937 copy = random;
  const auto replayDraw = std::uniform_int_distribution<int>(0, 6000)(copy);
  const auto actionDraw = std::uniform_int_distribution<int>(0, 20000)(copy);
  Enter(SitDown, 50000);
  EXPECT_EQ(clipReplayTick, 50000u + 4500 + 8000 + uint64_t(replayDraw));
  EXPECT_EQ(idleActionTick, 50000u + 25000 + uint64_t(actionDraw));
}

// Each fact flipped from its default alone stops the timer; none flipped lets it run.
TEST(SetMotionState, StartsTheFrameTimerOnlyWhenMotionMayRun) {
  for (bool MotionFacts::*flipped :
       {&MotionFacts::movementEnabled, &MotionFacts::paused, &MotionFacts::sessionLocked,
        &MotionFacts::suspended, &MotionFacts::dragging,
        static_cast<bool MotionFacts::*>(nullptr)}) {
    FakeCompanion fake;
    if (flipped) fake.facts.*flipped = !(fake.facts.*flipped);
    fake.Enter(Wave, 1000);
    EXPECT_EQ(fake.timerSet, flipped == nullptr);
    EXPECT_EQ(fake.motionTimerRunning, flipped == nullptr);
  }
}

TEST_F(MotionRun, LeftAloneTheFigureSitsLiesDownAndSleeps) {
  Enter(Idle, 0);
  RunUntil(700000);

  size_t sit = 0;
  while (sit < transitions.size() && transitions[sit].state != SitDown)
    ++sit;
  ASSERT_LT(sit, transitions.size());
  // Sitting waits for a random walk or wave that is under way at 90 s to end.
  EXPECT_GE(transitions[sit].tick, 90000u);
  EXPECT_LE(transitions[sit].tick, 90000u + 8000 + 1000);
  EXPECT_EQ(StatesSince(sit), (std::vector<MotionState>{SitDown, Seated, LieDown, Asleep}));
  EXPECT_GE(transitions[sit + 1].tick, transitions[sit].tick + 4500);
  EXPECT_EQ(transitions[sit + 2].tick, 300000u);
  EXPECT_GE(transitions[sit + 3].tick, 308000u);
  EXPECT_LT(transitions[sit + 3].tick, 308000u + 41);
  // Asleep, the short clip replays every 11 to 17 s and the timer rests in between.
  std::vector<uint64_t> replays;
  for (uint64_t start : timerStarts) {
    if (start > transitions[sit + 3].tick) replays.push_back(start);
  }
  ExpectGapsWithin(replays, 11000, 17000);
}

TEST_F(MotionRun, PointerOverTheSeatedFigureOnlyPostponesLyingDown) {
  Enter(Seated, 100000);
  pointerOn = true;
  RunUntil(320000);
  EXPECT_EQ(motionState, Seated);
  EXPECT_EQ(lastInteractionTick, 320000u);
  pointerOn = false;
  RunUntil(600000);
  EXPECT_EQ(motionState, Seated);
  RunUntil(621000);
  EXPECT_EQ(motionState, LieDown);
}

TEST_F(MotionRun, PointerOverTheSleeperWakesItThenItWavesAndIdles) {
  Enter(Asleep, 400000);
  RunUntil(410000);
  ASSERT_EQ(motionState, Asleep);
  pointerOn = true;
  RunUntil(411000);
  pointerOn = false;
  EXPECT_EQ(motionState, Rise);
  EXPECT_EQ(clip, 8);
  const size_t rise = transitions.size() - 1;
  RunUntil(440000);
  EXPECT_EQ(StatesSince(rise), (std::vector<MotionState>{Rise, Wave, Idle}));
  EXPECT_GE(transitions[rise + 1].tick, 419000u);
  EXPECT_GE(transitions[rise + 2].tick, transitions[rise + 1].tick + 8000);
}

TEST_F(MotionRun, ScriptureWhileSeatedStandsUpBackwardsThenWavesAndIdles) {
  Enter(Seated, 100000);
  RunUntil(104000);
  Greet(104000);
  EXPECT_EQ(motionState, Rise);
  EXPECT_EQ(clip, 4);
  RunUntil(130000);
  EXPECT_EQ(StatesSince(1), (std::vector<MotionState>{Rise, Wave, Idle}));
  EXPECT_GE(transitions[2].tick, 108500u);
}

TEST_F(MotionRun, YoungerFigureOnlyReplaysItsClip) {
  facts.younger = true;
  Enter(Idle, 0);
  RunUntil(400000);
  EXPECT_EQ(StatesSince(0), (std::vector<MotionState>{Idle}));
  EXPECT_GE(timerStarts.size(), 15u);
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
  EXPECT_EQ(walkToX, 1000.0);
  EXPECT_EQ(clip, 1);
  while (motionState == Walk) {
    RunUntil(clock + 1);
    EXPECT_EQ(positionX, 1000);
  }
  EXPECT_GE(clock, start + 8000);
  EXPECT_EQ(motionState, Idle);
}

TEST_F(MotionRun, GreetingDuringAWalkStopsWhereTheWalkHadGot) {
  positionX = walkFromX = 100;
  walkToX = 300;
  Enter(Walk, 0);
  RunUntil(4510);
  EXPECT_EQ(positionX, 200);
  Greet(4510);
  EXPECT_EQ(motionState, Wave);
  RunUntil(20000);
  EXPECT_EQ(positionX, 200);
}

TEST_F(MotionRun, BehaviourTickLeavesAShownScriptureAloneAndStopsWhenMovementIsOff) {
  Enter(Idle, 0);
  facts.bubbleVisible = true;
  RunUntil(200000);
  EXPECT_EQ(StatesSince(0), (std::vector<MotionState>{Idle}));

  facts.bubbleVisible = false;
  facts.movementEnabled = false;
  timerSet = motionTimerRunning = true;
  At(201000, [](auto& m) { BehaviourTick(m, 201000); });
  EXPECT_FALSE(timerSet);
  EXPECT_FALSE(motionTimerRunning);
}

TEST(WalkPositionX, StandsOneSecondThenMovesAtConstantSpeed) {
  // In the first second an unsigned difference would wrap and jump the figure to the end.
  EXPECT_EQ(WalkPositionX(100, 300, 0, 8000), 100);
  EXPECT_EQ(WalkPositionX(100, 300, 1000, 8000), 100);
  EXPECT_EQ(WalkPositionX(100, 300, 4500, 8000), 200);
  EXPECT_EQ(WalkPositionX(100, 300, 60000, 8000), 300);
  EXPECT_EQ(WalkPositionX(300.9, 100, 1000, 8000), 300);
  EXPECT_EQ(WalkPositionX(-500, -300.5, 8000, 8000), -300);
  // A clip shorter than the standing second moves at once to its end.
  EXPECT_EQ(WalkPositionX(0, 100, 1001, 500), 100);
}

// Arguments: position, draw (0 to 400, 200 stays), scale, bounds.
TEST(WalkTarget, AtMostTwoHundredFramePixelsKeptInsideTheBounds) {
  EXPECT_DOUBLE_EQ(WalkTarget(1000, 0, 1.0f, 0, 1920), 800);
  EXPECT_DOUBLE_EQ(WalkTarget(1000, 400, 0.375f, 0, 1920), 1075);
  EXPECT_DOUBLE_EQ(WalkTarget(100, 0, 1.0f, 0, 1920), 0);
  EXPECT_DOUBLE_EQ(WalkTarget(1640, 300, 1.0f, 0, 1920), 1640);  // 1920 less the frame's 280
  EXPECT_DOUBLE_EQ(WalkTarget(2000, 0, 0.75f, 1920, 3840), 1920);
  EXPECT_DOUBLE_EQ(WalkTarget(50, 400, 1.0f, 0, 200), 0);  // bounds narrower than the figure
}

TEST(FrameElapsedMs, ForwardsExceptTheStandUpFromSitting) {
  EXPECT_EQ(FrameElapsedMs(900, 1000, 4500, Idle, false), 0u);
  EXPECT_EQ(FrameElapsedMs(3500, 1000, 4500, SitDown, false), 2500u);
  EXPECT_EQ(FrameElapsedMs(1000, 1000, 4500, Rise, true), 4500u);
  EXPECT_EQ(FrameElapsedMs(2000, 1000, 4500, Rise, true), 3500u);
  EXPECT_EQ(FrameElapsedMs(9000, 1000, 4500, Rise, true), 0u);
  EXPECT_EQ(FrameElapsedMs(2000, 1000, 8000, Rise, false), 1000u);
}

TEST(SinkOffset, DepthFromTheTaskbarAndFactorFromTheState) {
  struct Case {
    const char* name;
    MotionState state;
    bool riseFromSitting;
    uint64_t elapsed;
    int32_t workBottom;
    float scale;
    int32_t sink;
  };
  const Case kCases[] = {
      {"seated, 40 px taskbar: min(48, 22.5)", Seated, false, 0, 1040, 0.375f, 22},
      {"seated at full size", Seated, false, 0, 1040, 1.125f, 48},
      {"sitting down a quarter of the way, eased", SitDown, false, 1125, 1040, 0.375f, 3},
      {"lying down starts low", LieDown, false, 0, 1040, 0.375f, 22},
      {"lain down", LieDown, false, 9000, 1040, 0.375f, 0},
      {"standing up from sitting a quarter of the way", Rise, true, 1125, 1040, 0.375f, 18},
      {"rising from lying", Rise, false, 0, 1040, 0.375f, 0},
      {"idle", Idle, false, 0, 1040, 0.375f, 0},
      {"taskbar at the top", Seated, false, 0, 1080, 0.375f, 8},
      {"work area below the monitor", Seated, false, 0, 1120, 1.0f, 8},
  };
  SinkInputs in{.motionStartTick = 10000, .monitorBottom = 1080};
  for (const auto& c : kCases) {
    in.state = c.state;
    in.riseFromSitting = c.riseFromSitting;
    in.now = 10000 + c.elapsed;
    in.clipMs = c.state == LieDown ? 8000u : 4500u;
    in.workBottom = c.workBottom;
    in.characterScale = c.scale;
    EXPECT_EQ(SinkOffset(in), c.sink) << c.name;
  }
  in.freePlacement = true;  // the last case, seated, otherwise sinks 8
  EXPECT_EQ(SinkOffset(in), 0) << "free placement";
}

}  // namespace
}  // namespace companion
