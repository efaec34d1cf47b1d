#include "character/motion.h"

#include <algorithm>

namespace companion {

namespace {

// A resting clip plays again this long after it ends, plus a random part.
constexpr uint64_t kReplayPauseMs = 8000;
constexpr int kReplayJitterMs = 6000;
constexpr uint64_t kIdleActionDelayMs = 25000;
constexpr int kIdleActionJitterMs = 20000;
// The walk clip stands still for its first second before the figure moves.
constexpr double kWalkStandMs = 1000.0;
constexpr int kWalkDrawRange = 400;
constexpr int kWalkDrawCentre = 200;
constexpr int32_t kSinkBelowTaskbar = 8;
constexpr float kSinkMaxFramePixels = 60.0f;

int Uniform(std::mt19937& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

bool MayRun(const MotionFacts& facts) {
  return facts.movementEnabled && !facts.paused && !facts.sessionLocked && !facts.suspended &&
         !facts.dragging;
}

int32_t CurrentClip(const MotionGroup& m) {
  return ClipForState(m.motionState, m.walkFromX, m.walkToX, m.riseFromSitting);
}

// Play the current state's clip again from its start; state, atlas and idle deadline stay.
void Replay(MotionMachine& machine, uint64_t now) {
  MotionGroup& m = machine.motion;
  if (m.motionTimerRunning || now < m.clipReplayTick) return;
  m.motionStartTick = now;
  m.clipReplayTick = now + machine.platform.clipDurationMs() + kReplayPauseMs +
                     uint64_t(Uniform(machine.random, 0, kReplayJitterMs));
  StartMotionTimer(machine);
}

void StartWalk(MotionMachine& machine, uint64_t now) {
  MotionGroup& m = machine.motion;
  const MotionFacts& f = machine.facts;
  const int32_t draw = Uniform(machine.random, 0, kWalkDrawRange);
  m.walkFromX = machine.positionX;
  m.walkToX =
      WalkTarget(machine.positionX, draw, f.characterScale, f.walkBoundsLeft, f.walkBoundsRight);
  SetMotionState(machine, MotionState::Walk, now);
}

}  // namespace

int32_t ClipForState(MotionState state, double walkFromX, double walkToX, bool riseFromSitting) {
  switch (state) {
    case MotionState::Idle:
      return kIdleClip;
    case MotionState::Walk:
      return walkFromX > walkToX ? kWalkLeftClip : kWalkRightClip;
    case MotionState::SitDown:
      return kSitDownClip;
    case MotionState::Seated:
      return kSeatedClip;
    case MotionState::LieDown:
      return kLieDownClip;
    case MotionState::Asleep:
      return kAsleepClip;
    case MotionState::Rise:
      return riseFromSitting ? kSitDownClip : kRiseFromLyingClip;
    case MotionState::Wave:
      return kWaveClip;
  }
  return kIdleClip;
}

void StartMotionTimer(MotionMachine& machine) {
  machine.motion.motionFrozenTick = 0;
  if (machine.motion.motionTimerRunning) return;
  machine.motion.motionTimerRunning = true;
  machine.platform.setMotionTimer();
}

void StopMotionTimer(MotionMachine& machine) {
  machine.platform.killMotionTimer();
  machine.motion.motionTimerRunning = false;
}

void SetMotionState(MotionMachine& machine, MotionState state, uint64_t now) {
  MotionGroup& m = machine.motion;
  m.motionState = state;
  m.motionStartTick = now;
  machine.platform.ensureClip(CurrentClip(m));
  const uint64_t clipMs = machine.platform.clipDurationMs();
  // Two draws, replay first, then the idle action.
  m.clipReplayTick =
      now + clipMs + kReplayPauseMs + uint64_t(Uniform(machine.random, 0, kReplayJitterMs));
  m.idleActionTick =
      now + kIdleActionDelayMs + uint64_t(Uniform(machine.random, 0, kIdleActionJitterMs));
  // A full-screen window is not tested here: the next step stops the timer then.
  if (MayRun(machine.facts)) {
    StartMotionTimer(machine);
  } else {
    m.motionFrozenTick = now;  // the new clip starts once nothing blocks it
  }
}

void FreezeMotion(MotionMachine& machine, uint64_t now) {
  if (machine.motion.motionTimerRunning) machine.motion.motionFrozenTick = now;
  StopMotionTimer(machine);
}

void ResumeMotion(MotionMachine& machine, uint64_t now) {
  MotionGroup& m = machine.motion;
  if (m.motionFrozenTick == 0 || m.motionTimerRunning || !MayRun(machine.facts) ||
      machine.facts.fullScreenQuiet) {
    return;
  }
  // The time it stood still does not count, so the clip goes on from the same frame.
  if (now > m.motionFrozenTick) m.motionStartTick += now - m.motionFrozenTick;
  StartMotionTimer(machine);
}

void MotionStep(MotionMachine& machine, uint64_t now) {
  MotionGroup& m = machine.motion;
  const uint64_t clipMs = machine.platform.clipDurationMs();
  const uint64_t elapsed = now - m.motionStartTick;
  if (m.motionState == MotionState::Walk) {
    machine.positionX = WalkPositionX(m.walkFromX, m.walkToX, elapsed, clipMs);
  }
  machine.platform.renderCharacter(now);
  if (elapsed < clipMs) return;

  switch (m.motionState) {
    case MotionState::Walk:
      machine.positionX = static_cast<int32_t>(m.walkToX);
      SetMotionState(machine, MotionState::Idle, now);
      break;
    case MotionState::SitDown:
      SetMotionState(machine, MotionState::Seated, now);
      break;
    case MotionState::LieDown:
      SetMotionState(machine, MotionState::Asleep, now);
      break;
    case MotionState::Rise:
      m.riseFromSitting = false;
      SetMotionState(machine, m.waveAfterRise ? MotionState::Wave : MotionState::Idle, now);
      m.waveAfterRise = false;
      break;
    case MotionState::Wave:
      SetMotionState(machine, MotionState::Idle, now);
      break;
    case MotionState::Idle:
    case MotionState::Seated:
    case MotionState::Asleep:
      // The clip rests on its last frame until the next replay.
      StopMotionTimer(machine);
      break;
  }
}

void BehaviourTick(MotionMachine& machine, uint64_t now) {
  MotionGroup& m = machine.motion;
  const MotionFacts& f = machine.facts;
  if (!f.movementEnabled) {
    StopMotionTimer(machine);
    return;
  }
  // A clip already playing, such as a greeting, plays on to its end.
  if (f.bubbleVisible) return;
  if (machine.platform.pointerOnCharacter()) {
    m.lastInteractionTick = now;
    if (m.motionState == MotionState::Asleep) GreetUser(machine, now);
    return;
  }
  if (f.younger) {
    Replay(machine, now);
    return;
  }
  const uint64_t idle = now - m.lastInteractionTick;
  switch (m.motionState) {
    case MotionState::Idle:
      if (idle >= kSitAfterMs) {
        SetMotionState(machine, MotionState::SitDown, now);
      } else if (now >= m.idleActionTick) {
        if (Uniform(machine.random, 0, 2) == 0) {
          SetMotionState(machine, MotionState::Wave, now);
        } else {
          StartWalk(machine, now);
        }
      } else {
        Replay(machine, now);
      }
      break;
    case MotionState::Seated:
      if (idle >= kLieDownAfterMs) {
        SetMotionState(machine, MotionState::LieDown, now);
      } else {
        Replay(machine, now);
      }
      break;
    case MotionState::Asleep:
      Replay(machine, now);
      break;
    case MotionState::Walk:
    case MotionState::SitDown:
    case MotionState::LieDown:
    case MotionState::Rise:
    case MotionState::Wave:
      break;
  }
}

void GreetUser(MotionMachine& machine, uint64_t now) {
  MotionGroup& m = machine.motion;
  m.lastInteractionTick = now;
  switch (m.motionState) {
    case MotionState::LieDown:
    case MotionState::Asleep:
      m.riseFromSitting = false;
      m.waveAfterRise = true;
      SetMotionState(machine, MotionState::Rise, now);
      break;
    case MotionState::SitDown:
    case MotionState::Seated:
      m.riseFromSitting = true;
      m.waveAfterRise = true;
      SetMotionState(machine, MotionState::Rise, now);
      break;
    case MotionState::Idle:
    case MotionState::Walk:
    case MotionState::Rise:
    case MotionState::Wave:
      // An interrupted walk stops where it is.
      SetMotionState(machine, MotionState::Wave, now);
      break;
  }
}

int32_t WalkPositionX(double walkFromX, double walkToX, uint64_t elapsedMs, uint64_t clipMs) {
  const double span = std::max(double(clipMs) - kWalkStandMs, 1.0);
  // In doubles: the first second would wrap around as an unsigned difference.
  const double t = std::clamp((double(elapsedMs) - kWalkStandMs) / span, 0.0, 1.0);
  return static_cast<int32_t>(walkFromX + (walkToX - walkFromX) * t);
}

double WalkTarget(int32_t positionX, int32_t draw, float characterScale, int32_t boundsLeft,
                  int32_t boundsRight) {
  const float low = float(boundsLeft);
  const float high = float(boundsRight) - float(kFrameWidth) * characterScale;
  const float upper = high > low ? high : low;
  const double target = positionX + float(draw - kWalkDrawCentre) * characterScale;
  if (target > upper) return upper;
  if (target < low) return low;
  return target;
}

uint64_t FrameElapsedMs(uint64_t now, uint64_t motionStartTick, uint64_t clipMs, MotionState state,
                        bool riseFromSitting) {
  const uint64_t elapsed = now < motionStartTick ? 0 : now - motionStartTick;
  if (state == MotionState::Rise && riseFromSitting) return clipMs - std::min(clipMs, elapsed);
  return elapsed;
}

int32_t SinkOffset(const SinkInputs& in) {
  if (in.freePlacement) return 0;
  double t = 1.0;
  if (in.clipMs != 0) {
    t = std::clamp((double(in.now) - double(in.motionStartTick)) / double(in.clipMs), 0.0, 1.0);
  }
  const double s = (3.0 - 2.0 * t) * t * t;
  double factor = 0.0;
  switch (in.state) {
    case MotionState::Seated:
      factor = 1.0;
      break;
    case MotionState::SitDown:
      factor = s;
      break;
    case MotionState::LieDown:
      factor = 1.0 - s;
      break;
    case MotionState::Rise:
      factor = in.riseFromSitting ? 1.0 - s : 0.0;
      break;
    default:
      break;
  }
  const int32_t taskbar = std::max(0, in.monitorBottom - in.workBottom);
  const float depth =
      std::min(float(taskbar + kSinkBelowTaskbar), kSinkMaxFramePixels * in.characterScale);
  return static_cast<int32_t>(depth * factor);
}

uint64_t IdleActionTickAfterStill(uint64_t now, std::mt19937& random) {
  constexpr uint64_t kMinStillMs = 60000;
  constexpr uint64_t kMaxStillMs = 120000;
  return now + std::uniform_int_distribution<uint64_t>(kMinStillMs, kMaxStillMs)(random);
}

}  // namespace companion
