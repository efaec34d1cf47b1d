#include "character/motion_win.h"

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "character/presentation_win.h"

namespace companion {

namespace {

MotionPlatform PlatformFor(CompanionApp& app) {
  return {
      .ensureClip = [&app](int32_t clipIndex) { EnsureClip(app.characterArt, clipIndex); },
      .clipDurationMs = [&app] { return ClipDurationMs(app.characterArt); },
      .setMotionTimer =
          [&app] { SetTimer(app.companionWindow, TIMER_MOTION, kMotionPeriodMs, nullptr); },
      .killMotionTimer = [&app] { KillTimer(app.companionWindow, TIMER_MOTION); },
      .renderCharacter = [&app](uint64_t now) { RenderCharacter(app, now); },
      .pointerOnCharacter =
          [&app] {
            POINT pointer{};
            return GetCursorPos(&pointer) && WindowFromPoint(pointer) == app.companionWindow;
          },
  };
}

MotionMachine MachineFor(CompanionApp& app, const MotionPlatform& platform) {
  // A freely placed figure walks anywhere on its monitor, on the taskbar only along the work area.
  const RECT& bounds =
      app.freePlacement ? app.currentMonitor.info.rcMonitor : app.currentMonitor.info.rcWork;
  return {{app.motionState, app.motionStartTick, app.walkFromX, app.walkToX, app.riseFromSitting,
           app.waveAfterRise, app.clipReplayTick, app.idleActionTick, app.lastInteractionTick,
           app.motionTimerRunning, app.positionX, app.motionFrozenTick},
          {.movementEnabled = app.movementEnabled,
           .paused = app.paused,
           .sessionLocked = app.sessionLocked,
           .suspended = app.suspended,
           .dragging = app.dragging,
           .fullScreenQuiet = app.fullScreenQuiet,
           .bubbleVisible = app.bubbleVisible,
           .younger = app.characterArt.younger,
           .characterScale = app.characterScale,
           .walkBoundsLeft = bounds.left,
           .walkBoundsRight = bounds.right},
          platform,
          app.scriptureRandom};
}

// Runs one operation of the machine over the companion record.
template <class Operation>
void RunMachine(CompanionApp& app, Operation operation) {
  const MotionPlatform platform = PlatformFor(app);
  MotionMachine machine = MachineFor(app, platform);
  operation(machine);
}

}  // namespace

void SetMotionState(CompanionApp& app, MotionState state, uint64_t now) {
  RunMachine(app, [&](MotionMachine& machine) { SetMotionState(machine, state, now); });
}

void StopMotionTimer(CompanionApp& app) {
  const uint64_t now = GetTickCount64();
  RunMachine(app, [&](MotionMachine& machine) { FreezeMotion(machine, now); });
}

void ResumeMotion(CompanionApp& app) {
  const uint64_t now = GetTickCount64();
  RunMachine(app, [&](MotionMachine& machine) { ResumeMotion(machine, now); });
}

void MotionStep(CompanionApp& app, uint64_t now) {
  RunMachine(app, [&](MotionMachine& machine) { MotionStep(machine, now); });
}

void BehaviourTick(CompanionApp& app, uint64_t now) {
  RunMachine(app, [&](MotionMachine& machine) { BehaviourTick(machine, now); });
}

void GreetUser(CompanionApp& app, uint64_t now) {
  RunMachine(app, [&](MotionMachine& machine) { GreetUser(machine, now); });
}

int32_t SinkOffset(const CompanionApp& app, uint64_t now) {
  return SinkOffset(SinkInputs{.freePlacement = app.freePlacement,
                               .state = app.motionState,
                               .riseFromSitting = app.riseFromSitting,
                               .now = now,
                               .motionStartTick = app.motionStartTick,
                               .clipMs = ClipDurationMs(app.characterArt),
                               .monitorBottom = app.currentMonitor.info.rcMonitor.bottom,
                               .workBottom = app.currentMonitor.info.rcWork.bottom,
                               .characterScale = app.characterScale});
}

}  // namespace companion
