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
  uint64_t motionStartTick = 0;
  double walkFromX = 0;
  double walkToX = 0;
  bool riseFromSitting = false;
  bool waveAfterRise = false;
  uint64_t clipReplayTick = 0;
  uint64_t idleActionTick = 0;
  uint64_t lastInteractionTick = 0;
  bool motionTimerRunning = false;
  int32_t positionX = 1000;

  MotionFacts facts{.walkBoundsLeft = 0, .walkBoundsRight = 1920};
  std::mt19937 random{7};
  int32_t clip = 0;
  bool pointerOn = false;
  bool timerSet = false;
  uint64_t clock = 0;
  uint64_t nextFrame = 0;
  std::vector<int32_t> clipsEnsured;
  std::vector<uint64_t> renders;
  std::vector<uint64_t> timerStarts;
  std::vector<Transition> transitions;

  MotionPlatform platform{
      .ensureClip =
          [this](int32_t index) {
            clip = index;
            clipsEnsured.push_back(index);
          },
      .clipDurationMs =
          [this] { return ClipDurationMs(facts.younger ? YoungerClip : MotionClips[clip]); },
      .setMotionTimer =
          [this] {
            timerSet = true;
            nextFrame = clock + 41;
            timerStarts.push_back(clock);
          },
      .killMotionTimer = [this] { timerSet = false; },
      .renderCharacter = [this](uint64_t now) { renders.push_back(now); },
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
    clock = now;
    auto machine = Machine();
    SetMotionState(machine, state, now);
    Record();
  }
  void Greet(uint64_t now) {
    clock = now;
    auto machine = Machine();
    GreetUser(machine, now);
    Record();
  }
  void Record() {
    if (transitions.empty() || transitions.back().state != motionState) {
      transitions.push_back({clock, motionState});
    }
  }
  // Runs the clock up to `end`, stepping the frame timer and the second tick in time order.
  void RunUntil(uint64_t end) {
    for (uint64_t t = clock + 1; t <= end; ++t) {
      clock = t;
      if (timerSet && t >= nextFrame) {
        nextFrame = t + 41;
        auto machine = Machine();
        MotionStep(machine, t);
        Record();
      }
      if (t % 1000 == 0) {
        auto machine = Machine();
        BehaviourTick(machine, t);
        Record();
      }
    }
  }
  std::vector<MotionState> StatesSince(size_t first) const {
    std::vector<MotionState> states;
    for (size_t i = first; i < transitions.size(); ++i)
      states.push_back(transitions[i].state);
    return states;
  }
};

using enum MotionState;

TEST(ClipForState, FollowsStateDirectionAndRiseKind) {
  struct Case {
    MotionState state;
    double from, to;
    bool riseFromSitting;
    int32_t clip;
  };
  const Case kCases[] = {
      {Idle, 0, 0, false, 0},     {Walk, 100, 200, false, 1}, {Walk, 100, 100, false, 1},
      {Walk, 200, 100, false, 2}, {SitDown, 0, 0, false, 4},  {Seated, 0, 0, false, 5},
      {LieDown, 0, 0, false, 6},  {Asleep, 0, 0, false, 7},   {Rise, 0, 0, true, 4},
      {Rise, 0, 0, false, 8},     {Wave, 0, 0, false, 3},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ClipForState(c.state, c.from, c.to, c.riseFromSitting), c.clip)
        << int(c.state) << " " << c.from << "->" << c.to;
  }
}

TEST(SetMotionState, DrawsReplayDelayBeforeIdleActionDelay) {
  FakeCompanion fake;
  std::mt19937 copy = fake.random;
  const auto replayDraw = std::uniform_int_distribution<int>(0, 6000)(copy);
  const auto actionDraw = std::uniform_int_distribution<int>(0, 20000)(copy);
  fake.Enter(SitDown, 50000);
  EXPECT_EQ(fake.clip, 4);
  EXPECT_EQ(fake.motionStartTick, 50000u);
  EXPECT_EQ(fake.clipReplayTick, 50000u + 4500 + 8000 + uint64_t(replayDraw));
  EXPECT_EQ(fake.idleActionTick, 50000u + 25000 + uint64_t(actionDraw));
}

TEST(SetMotionState, StartsTheFrameTimerOnlyWhenMotionMayRun) {
  struct Case {
    const char* name;
    void (*change)(MotionFacts&);
    bool starts;
  };
  const Case kCases[] = {
      {"free to move", [](MotionFacts&) {}, true},
      {"movement off", [](MotionFacts& f) { f.movementEnabled = false; }, false},
      {"paused", [](MotionFacts& f) { f.paused = true; }, false},
      {"locked", [](MotionFacts& f) { f.sessionLocked = true; }, false},
      {"suspended", [](MotionFacts& f) { f.suspended = true; }, false},
      {"dragging", [](MotionFacts& f) { f.dragging = true; }, false},
  };
  for (const auto& c : kCases) {
    FakeCompanion fake;
    c.change(fake.facts);
    fake.Enter(Wave, 1000);
    EXPECT_EQ(fake.timerSet, c.starts) << c.name;
    EXPECT_EQ(fake.motionTimerRunning, c.starts) << c.name;
  }
}

TEST(MotionMachine, LeftAloneTheFigureSitsLiesDownAndSleeps) {
  FakeCompanion fake;
  fake.Enter(Idle, 0);
  fake.RunUntil(700000);

  size_t sit = 0;
  while (sit < fake.transitions.size() && fake.transitions[sit].state != SitDown)
    ++sit;
  ASSERT_LT(sit, fake.transitions.size());
  // Sitting waits for a random walk or wave that is under way at 90 s to end.
  EXPECT_GE(fake.transitions[sit].tick, 90000u);
  EXPECT_LE(fake.transitions[sit].tick, 90000u + 8000 + 1000);
  for (size_t i = 1; i < sit; ++i) {
    const MotionState s = fake.transitions[i].state;
    EXPECT_TRUE(s == Idle || s == Walk || s == Wave) << i;
  }
  EXPECT_EQ(fake.StatesSince(sit), (std::vector<MotionState>{SitDown, Seated, LieDown, Asleep}));
  EXPECT_GE(fake.transitions[sit + 1].tick, fake.transitions[sit].tick + 4500);
  EXPECT_EQ(fake.transitions[sit + 2].tick, 300000u);
  EXPECT_GE(fake.transitions[sit + 3].tick, 308000u);
  EXPECT_LT(fake.transitions[sit + 3].tick, 308000u + 41);
  // Asleep, the short clip replays every 11 to 17 s and the timer rests in between.
  std::vector<uint64_t> asleepReplays;
  for (uint64_t start : fake.timerStarts) {
    if (start > fake.transitions[sit + 3].tick) asleepReplays.push_back(start);
  }
  ASSERT_GE(asleepReplays.size(), 2u);
  for (size_t i = 1; i < asleepReplays.size(); ++i) {
    EXPECT_GE(asleepReplays[i] - asleepReplays[i - 1], 11000u);
    EXPECT_LE(asleepReplays[i] - asleepReplays[i - 1], 17000u);
  }
}

TEST(MotionMachine, PointerOverTheSleeperWakesItThenItWavesAndIdles) {
  FakeCompanion fake;
  fake.Enter(Asleep, 400000);
  fake.RunUntil(410000);
  ASSERT_EQ(fake.motionState, Asleep);
  fake.pointerOn = true;
  fake.RunUntil(411000);
  EXPECT_EQ(fake.motionState, Rise);
  EXPECT_FALSE(fake.riseFromSitting);
  EXPECT_EQ(fake.clip, 8);
  EXPECT_EQ(fake.lastInteractionTick, 411000u);
  fake.pointerOn = false;
  const size_t rise = fake.transitions.size() - 1;
  fake.RunUntil(440000);
  EXPECT_EQ(fake.StatesSince(rise), (std::vector<MotionState>{Rise, Wave, Idle}));
  EXPECT_GE(fake.transitions[rise + 1].tick, 419000u);
  EXPECT_GE(fake.transitions[rise + 2].tick, fake.transitions[rise + 1].tick + 8000);
  EXPECT_FALSE(fake.waveAfterRise);
}

TEST(MotionMachine, PointerOverTheSeatedFigureOnlyPostponesLyingDown) {
  FakeCompanion fake;
  fake.Enter(Seated, 100000);
  fake.pointerOn = true;
  fake.RunUntil(320000);
  EXPECT_EQ(fake.motionState, Seated);
  EXPECT_EQ(fake.lastInteractionTick, 320000u);
  fake.pointerOn = false;
  fake.RunUntil(600000);
  EXPECT_EQ(fake.motionState, Seated);
  fake.RunUntil(621000);
  EXPECT_EQ(fake.motionState, LieDown);
}

TEST(MotionMachine, ScriptureWhileSeatedStandsUpBackwardsWithTheSinkFalling) {
  FakeCompanion fake;
  fake.Enter(Seated, 100000);
  fake.RunUntil(104000);
  fake.Greet(104000);
  EXPECT_EQ(fake.motionState, Rise);
  EXPECT_TRUE(fake.riseFromSitting);
  EXPECT_EQ(fake.clip, 4);

  SinkInputs sink{.state = Rise,
                  .riseFromSitting = true,
                  .motionStartTick = 104000,
                  .clipMs = 4500,
                  .monitorBottom = 1080,
                  .workBottom = 1040,
                  .characterScale = 0.375f};
  uint64_t lastElapsed = 4501;
  int32_t lastSink = 23;
  for (uint64_t t = 104000; t <= 108500; t += 41) {
    const uint64_t e = FrameElapsedMs(t, 104000, 4500, Rise, true);
    sink.now = t;
    const int32_t depth = SinkOffset(sink);
    EXPECT_LT(e, lastElapsed) << t;
    EXPECT_LE(depth, lastSink) << t;
    lastElapsed = e;
    lastSink = depth;
  }
  EXPECT_EQ(FrameElapsedMs(104000, 104000, 4500, Rise, true), 4500u);
  sink.now = 104000;
  EXPECT_EQ(SinkOffset(sink), 22);
  sink.now = 108500;
  EXPECT_EQ(SinkOffset(sink), 0);

  const size_t rise = fake.transitions.size() - 1;
  fake.RunUntil(130000);
  EXPECT_EQ(fake.StatesSince(rise), (std::vector<MotionState>{Rise, Wave, Idle}));
  EXPECT_GE(fake.transitions[rise + 1].tick, 108500u);
  EXPECT_FALSE(fake.riseFromSitting);
}

TEST(MotionMachine, YoungerFigureOnlyReplaysItsClip) {
  FakeCompanion fake;
  fake.facts.younger = true;
  fake.Enter(Idle, 0);
  fake.RunUntil(400000);
  EXPECT_EQ(fake.StatesSince(0), (std::vector<MotionState>{Idle}));
  ASSERT_GE(fake.timerStarts.size(), 15u);
  for (size_t i = 1; i < fake.timerStarts.size(); ++i) {
    EXPECT_GE(fake.timerStarts[i] - fake.timerStarts[i - 1], 16000u) << i;
    EXPECT_LE(fake.timerStarts[i] - fake.timerStarts[i - 1], 22000u) << i;
  }
}

TEST(MotionMachine, WalkClampedAtItsStartStillPlaysTheWholeClipInPlace) {
  FakeCompanion fake;
  // Bounds narrower than the figure: every target is their left edge, where the figure stands.
  fake.facts.walkBoundsLeft = 1000;
  fake.facts.walkBoundsRight = 1100;
  fake.Enter(Idle, 0);
  while (fake.motionState != Walk && fake.clock < 80000)
    fake.RunUntil(fake.clock + 1000);
  ASSERT_EQ(fake.motionState, Walk);
  const uint64_t start = fake.motionStartTick;
  EXPECT_EQ(fake.clip, 1);
  EXPECT_EQ(fake.walkToX, 1000.0);
  while (fake.motionState == Walk) {
    fake.RunUntil(fake.clock + 1);
    EXPECT_EQ(fake.positionX, 1000);
  }
  EXPECT_GE(fake.clock, start + 8000);
  EXPECT_EQ(fake.motionState, Idle);
}

TEST(MotionMachine, GreetingDuringAWalkStopsWhereTheWalkHadGot) {
  FakeCompanion fake;
  fake.positionX = 100;
  fake.walkFromX = 100;
  fake.walkToX = 300;
  fake.Enter(Walk, 0);
  fake.RunUntil(4510);
  EXPECT_EQ(fake.positionX, 200);
  fake.Greet(4510);
  EXPECT_EQ(fake.motionState, Wave);
  fake.RunUntil(20000);
  EXPECT_EQ(fake.positionX, 200);
}

TEST(MotionMachine, BehaviourTickLeavesAShownScriptureAloneAndStopsWhenMovementIsOff) {
  FakeCompanion fake;
  fake.Enter(Idle, 0);
  fake.facts.bubbleVisible = true;
  fake.RunUntil(200000);
  EXPECT_EQ(fake.StatesSince(0), (std::vector<MotionState>{Idle}));

  fake.facts.bubbleVisible = false;
  fake.facts.movementEnabled = false;
  fake.timerSet = fake.motionTimerRunning = true;
  auto machine = fake.Machine();
  BehaviourTick(machine, 201000);
  EXPECT_FALSE(fake.timerSet);
  EXPECT_FALSE(fake.motionTimerRunning);
}

TEST(WalkPositionX, StandsOneSecondThenMovesAtConstantSpeed) {
  struct Case {
    double from, to;
    uint64_t elapsed;
    int32_t x;
  };
  const Case kCases[] = {
      {100, 300, 0, 100},      {100, 300, 500, 100},       {100, 300, 1000, 100},
      {100, 300, 4500, 200},   {100, 300, 8000, 300},      {100, 300, 60000, 300},
      {300.9, 100, 1000, 300}, {-500, -300.5, 8000, -300}, {0, 0, 4500, 0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(WalkPositionX(c.from, c.to, c.elapsed, 8000), c.x)
        << c.from << "->" << c.to << " at " << c.elapsed;
  }
  // A clip shorter than the standing second moves at once to its end.
  EXPECT_EQ(WalkPositionX(0, 100, 1001, 500), 100);
}

TEST(WalkTarget, AtMostTwoHundredFramePixelsKeptInsideTheBounds) {
  struct Case {
    int32_t positionX, draw;
    float scale;
    int32_t left, right;
    double target;
  };
  const Case kCases[] = {
      {1000, 200, 1.0f, 0, 1920, 1000},   {1000, 0, 1.0f, 0, 1920, 800},
      {1000, 400, 0.375f, 0, 1920, 1075}, {100, 0, 1.0f, 0, 1920, 0},
      {1600, 400, 1.0f, 0, 1920, 1640},   {1640, 300, 1.0f, 0, 1920, 1640},
      {2000, 0, 0.75f, 1920, 3840, 1920}, {50, 400, 1.0f, 0, 200, 0},
  };
  for (const auto& c : kCases) {
    EXPECT_DOUBLE_EQ(WalkTarget(c.positionX, c.draw, c.scale, c.left, c.right), c.target)
        << c.positionX << " draw " << c.draw;
  }
}

TEST(FrameElapsedMs, ForwardsExceptTheStandUpFromSitting) {
  EXPECT_EQ(FrameElapsedMs(900, 1000, 4500, Idle, false), 0u);
  EXPECT_EQ(FrameElapsedMs(3500, 1000, 4500, SitDown, false), 2500u);
  // 1 s into the stand-up: 3500 ms, frame 24 x 3500 / 1000 = 84 of clip 4.
  EXPECT_EQ(FrameElapsedMs(2000, 1000, 4500, Rise, true), 3500u);
  EXPECT_EQ(FrameElapsedMs(9000, 1000, 4500, Rise, true), 0u);
  EXPECT_EQ(FrameElapsedMs(2000, 1000, 8000, Rise, false), 1000u);
}

TEST(SinkOffset, DepthFromTheTaskbarAndFactorFromTheState) {
  struct Case {
    const char* name;
    bool freePlacement;
    MotionState state;
    bool riseFromSitting;
    uint64_t elapsed;
    int32_t monitorBottom, workBottom;
    float scale;
    int32_t sink;
  };
  const Case kCases[] = {
      {"seated, 40 px taskbar: min(48, 22.5)", false, Seated, false, 0, 1080, 1040, 0.375f, 22},
      {"seated at full size", false, Seated, false, 0, 1080, 1040, 1.125f, 48},
      {"sitting down starts standing", false, SitDown, false, 0, 1080, 1040, 0.375f, 0},
      {"sitting down half-way", false, SitDown, false, 2250, 1080, 1040, 0.375f, 11},
      {"sat down", false, SitDown, false, 4500, 1080, 1040, 0.375f, 22},
      {"lying down starts low", false, LieDown, false, 0, 1080, 1040, 0.375f, 22},
      {"lain down", false, LieDown, false, 9000, 1080, 1040, 0.375f, 0},
      {"standing up from sitting", false, Rise, true, 0, 1080, 1040, 0.375f, 22},
      {"rising from lying", false, Rise, false, 0, 1080, 1040, 0.375f, 0},
      {"idle", false, Idle, false, 0, 1080, 1040, 0.375f, 0},
      {"free placement", true, Seated, false, 0, 1080, 1040, 0.375f, 0},
      {"taskbar at the top", false, Seated, false, 0, 1080, 1080, 0.375f, 8},
      {"taskbar at the top, tiny", false, Seated, false, 0, 1080, 1080, 0.1f, 6},
      {"work area below the monitor", false, Seated, false, 0, 1000, 1040, 1.0f, 8},
  };
  for (const auto& c : kCases) {
    SinkInputs in{.freePlacement = c.freePlacement,
                  .state = c.state,
                  .riseFromSitting = c.riseFromSitting,
                  .now = 10000 + c.elapsed,
                  .motionStartTick = 10000,
                  .clipMs = c.state == LieDown ? 8000u : 4500u,
                  .monitorBottom = c.monitorBottom,
                  .workBottom = c.workBottom,
                  .characterScale = c.scale};
    EXPECT_EQ(SinkOffset(in), c.sink) << c.name;
  }
}

}  // namespace
}  // namespace companion
