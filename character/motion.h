#pragma once
// The figure's motion state machine: which clip plays, when it plays again, when the figure walks,
// waves, sits, lies down and sleeps, and how it greets the user. Portable: the program hands in its
// own members and the few platform steps (clip atlas, frame timer, drawing, pointer test), the
// tests a fake clock and recorders.
#include <cstdint>
#include <functional>
#include <random>

#include "character/clips.h"

namespace companion {

enum class MotionState : int32_t {
  Idle = 0,
  Walk = 1,
  SitDown = 2,
  Seated = 3,
  LieDown = 4,
  Asleep = 5,
  Rise = 6,
  Wave = 7,
};

// Clip indexes of the full-motion figure.
inline constexpr int32_t kIdleClip = 0;
inline constexpr int32_t kWalkRightClip = 1;
inline constexpr int32_t kWalkLeftClip = 2;
inline constexpr int32_t kWaveClip = 3;
inline constexpr int32_t kSitDownClip = 4;
inline constexpr int32_t kSeatedClip = 5;
inline constexpr int32_t kLieDownClip = 6;
inline constexpr int32_t kAsleepClip = 7;
inline constexpr int32_t kRiseFromLyingClip = 8;

// Idle without the user for this long: sit down; seated for longer still: lie down.
inline constexpr uint64_t kSitAfterMs = 90000;
inline constexpr uint64_t kLieDownAfterMs = 300000;

int32_t ClipForState(MotionState state, double walkFromX, double walkToX, bool riseFromSitting);

// The figure's motion as the companion record holds it; only the rules below change it.
struct MotionGroup {
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
  // When something that blocks motion stopped a clip before its end (or kept a new one from
  // starting); 0 when no clip waits to go on.
  uint64_t motionFrozenTick = 0;
};

// What the machine reads of the rest of the companion, gathered for one call.
struct MotionFacts {
  bool movementEnabled = true;
  bool paused = false;
  bool sessionLocked = false;
  bool suspended = false;
  bool dragging = false;
  bool fullScreenQuiet = false;
  bool bubbleVisible = false;
  bool younger = false;
  float characterScale = 1.0f;
  // Horizontal bounds of a walk: the monitor in free placement, the work area on the taskbar.
  int32_t walkBoundsLeft = 0;
  int32_t walkBoundsRight = 0;
};

// The platform steps the machine needs, in the order it calls them.
struct MotionPlatform {
  // Make the clip current (its atlas resident); the duration below then belongs to it.
  std::function<void(int32_t clipIndex)> ensureClip;
  std::function<uint64_t()> clipDurationMs;
  std::function<void()> setMotionTimer;
  std::function<void()> killMotionTimer;
  std::function<void(uint64_t now)> renderCharacter;
  std::function<bool()> pointerOnCharacter;
};

struct MotionMachine {
  MotionGroup& motion;
  int32_t& positionX;  // screen x of the window's left edge at rest; walks move it
  MotionFacts facts;
  const MotionPlatform& platform;
  std::mt19937& random;
};

void SetMotionState(MotionMachine& machine, MotionState state, uint64_t now);
void StartMotionTimer(MotionMachine& machine);
void StopMotionTimer(MotionMachine& machine);
// Something blocks motion (a press, the menu, full screen, a lock): the frame timer stops, and a
// clip it was playing is remembered.
void FreezeMotion(MotionMachine& machine, uint64_t now);
// Nothing blocks motion any more: a remembered clip goes on from the frame it had reached, so a
// figure stopped mid-walk or mid-wave never stays frozen in that frame.
void ResumeMotion(MotionMachine& machine, uint64_t now);
// One frame-timer expiry: move along a walk, draw, and at the clip's end go on or rest.
void MotionStep(MotionMachine& machine, uint64_t now);
// The character's part of the once-a-second tick: fatigue, random actions, replays.
void BehaviourTick(MotionMachine& machine, uint64_t now);
// The user came back or a Scripture is shown: wake, stand up or wave.
void GreetUser(MotionMachine& machine, uint64_t now);

// When a figure the user just dealt with (a bubble gone, the menu closed) next picks an idle
// action: one to two minutes on.
uint64_t IdleActionTickAfterStill(uint64_t now, std::mt19937& random);

// Window left edge during a walk: a second standing at the start, then constant speed, arriving
// when the clip ends. elapsedMs may exceed the clip.
int32_t WalkPositionX(double walkFromX, double walkToX, uint64_t elapsedMs, uint64_t clipMs);

// Where a walk that drew `draw` (0 to 400) ends, kept inside the bounds: a figure wider than the
// bounds always walks to their left edge.
double WalkTarget(int32_t positionX, int32_t draw, float characterScale, int32_t boundsLeft,
                  int32_t boundsRight);

// Milliseconds into the clip that the frame drawn at `now` belongs to; the stand-up after sitting
// runs the sitting-down clip backwards.
uint64_t FrameElapsedMs(uint64_t now, uint64_t motionStartTick, uint64_t clipMs, MotionState state,
                        bool riseFromSitting);

struct SinkInputs {
  bool freePlacement = false;
  MotionState state = MotionState::Idle;
  bool riseFromSitting = false;
  uint64_t now = 0;
  uint64_t motionStartTick = 0;
  uint64_t clipMs = 0;
  int32_t monitorBottom = 0;
  int32_t workBottom = 0;
  float characterScale = 1.0f;
};

// Pixels by which the figure is drawn below its standing line while it sits: into the taskbar,
// but never deeper than the taskbar's height plus 8 or 60 frame pixels.
int32_t SinkOffset(const SinkInputs& in);

}  // namespace companion
