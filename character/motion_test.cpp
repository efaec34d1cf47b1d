#include "character/motion.h"

#include <gtest/gtest.h>

#include <utility>
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

// Only the choices that depend on more than the state; the other clips are checked by the runs.
TEST(ClipForState, WalkDirectionAndRiseKindPickTheClip) {
  EXPECT_EQ(ClipForState(Walk, 100, 200, false), 1);
  EXPECT_EQ(ClipForState(Walk, 100, 100, false), 1);
  EXPECT_EQ(ClipForState(Walk, 200, 100, false), 2);
  EXPECT_EQ(ClipForState(Rise, 0, 0, true), 4);
  EXPECT_EQ(ClipForState(Rise, 0, 0, false), 8);
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
  const std::pair<const char*, void (*)(MotionFacts&)> kCases[] = {
      {"movement off", [](MotionFacts& f) { f.movementEnabled = false; }},
      {"paused", [](MotionFacts& f) { f.paused = true; }},
      {"locked", [](MotionFacts& f) { f.sessionLocked = true; }},
      {"suspended", [](MotionFacts& f) { f.suspended = true; }},
      {"dragging", [](MotionFacts& f) { f.dragging = true; }},
      {"free to move", [](MotionFacts&) {}},
  };
  for (const auto& [name, change] : kCases) {
    FakeCompanion fake;
    change(fake.facts);
    fake.Enter(Wave, 1000);
    const bool free = change == kCases[5].second;
    EXPECT_EQ(fake.timerSet, free) << name;
    EXPECT_EQ(fake.motionTimerRunning, free) << name;
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
  std::vector<uint64_t> replays;
  for (uint64_t start : fake.timerStarts) {
    if (start > fake.transitions[sit + 3].tick) replays.push_back(start);
  }
  ExpectGapsWithin(replays, 11000, 17000);
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

TEST(MotionMachine, PointerOverTheSleeperWakesItThenItWavesAndIdles) {
  FakeCompanion fake;
  fake.Enter(Asleep, 400000);
  fake.RunUntil(410000);
  ASSERT_EQ(fake.motionState, Asleep);
  fake.pointerOn = true;
  fake.RunUntil(411000);
  fake.pointerOn = false;
  EXPECT_EQ(fake.motionState, Rise);
  EXPECT_EQ(fake.clip, 8);
  EXPECT_EQ(fake.lastInteractionTick, 411000u);
  const size_t rise = fake.transitions.size() - 1;
  fake.RunUntil(440000);
  EXPECT_EQ(fake.StatesSince(rise), (std::vector<MotionState>{Rise, Wave, Idle}));
  EXPECT_GE(fake.transitions[rise + 1].tick, 419000u);
  EXPECT_GE(fake.transitions[rise + 2].tick, fake.transitions[rise + 1].tick + 8000);
  EXPECT_FALSE(fake.waveAfterRise);
}

TEST(MotionMachine, ScriptureWhileSeatedStandsUpBackwardsThenWavesAndIdles) {
  FakeCompanion fake;
  fake.Enter(Seated, 100000);
  fake.RunUntil(104000);
  fake.Greet(104000);
  EXPECT_EQ(fake.motionState, Rise);
  EXPECT_TRUE(fake.riseFromSitting);
  EXPECT_EQ(fake.clip, 4);
  fake.RunUntil(130000);
  EXPECT_EQ(fake.StatesSince(1), (std::vector<MotionState>{Rise, Wave, Idle}));
  EXPECT_GE(fake.transitions[2].tick, 108500u);
  EXPECT_FALSE(fake.riseFromSitting);
}

TEST(MotionMachine, YoungerFigureOnlyReplaysItsClip) {
  FakeCompanion fake;
  fake.facts.younger = true;
  fake.Enter(Idle, 0);
  fake.RunUntil(400000);
  EXPECT_EQ(fake.StatesSince(0), (std::vector<MotionState>{Idle}));
  EXPECT_GE(fake.timerStarts.size(), 15u);
  ExpectGapsWithin(fake.timerStarts, 16000, 22000);
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
  fake.positionX = fake.walkFromX = 100;
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
  fake.At(201000, [](auto& m) { BehaviourTick(m, 201000); });
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
      {100, 300, 1000, 100},  {100, 300, 4500, 200},   {100, 300, 8000, 300},
      {100, 300, 60000, 300}, {300.9, 100, 1000, 300}, {-500, -300.5, 8000, -300},
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
      {1640, 300, 1.0f, 0, 1920, 1640},   {2000, 0, 0.75f, 1920, 3840, 1920},
      {50, 400, 1.0f, 0, 200, 0},
  };
  for (const auto& c : kCases) {
    EXPECT_DOUBLE_EQ(WalkTarget(c.positionX, c.draw, c.scale, c.left, c.right), c.target)
        << c.positionX << " draw " << c.draw;
  }
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
      {"sitting down starts standing", SitDown, false, 0, 1040, 0.375f, 0},
      {"sitting down half-way", SitDown, false, 2250, 1040, 0.375f, 11},
      {"lying down starts low", LieDown, false, 0, 1040, 0.375f, 22},
      {"lain down", LieDown, false, 9000, 1040, 0.375f, 0},
      {"standing up from sitting", Rise, true, 0, 1040, 0.375f, 22},
      {"stood up from sitting", Rise, true, 4500, 1040, 0.375f, 0},
      {"rising from lying", Rise, false, 0, 1040, 0.375f, 0},
      {"idle", Idle, false, 0, 1040, 0.375f, 0},
      {"taskbar at the top", Seated, false, 0, 1080, 0.375f, 8},
      {"taskbar at the top, tiny", Seated, false, 0, 1080, 0.1f, 6},
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
