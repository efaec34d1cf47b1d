#include "character/motion_win.h"

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "character/presentation_win.h"

namespace companion {

namespace {

MotionPlatform PlatformFor(CompanionApp& app) {
  return {
      .ensureClip = [&app](int32_t clipIndex) { EnsureClip(app.figure.characterArt, clipIndex); },
      .clipDurationMs = [&app] { return ClipDurationMs(app.figure.characterArt); },
      .setMotionTimer =
          [&app] { SetTimer(app.shell.companionWindow, TIMER_MOTION, kMotionPeriodMs, nullptr); },
      .killMotionTimer = [&app] { KillTimer(app.shell.companionWindow, TIMER_MOTION); },
      .renderCharacter = [&app](uint64_t now) { RenderCharacter(app, now); },
      .pointerOnCharacter =
          [&app] {
            POINT pointer{};
            return GetCursorPos(&pointer) && WindowFromPoint(pointer) == app.shell.companionWindow;
          },
  };
}

MotionMachine MachineFor(CompanionApp& app, const MotionPlatform& platform) {
  // A freely placed figure walks anywhere on its monitor, on the taskbar only along the work area.
  const RECT& bounds = app.preferences.freePlacement ? app.placement.currentMonitor.info.rcMonitor
                                                     : app.placement.currentMonitor.info.rcWork;
  return {app.motion,
          app.preferences.positionX,
          {.movementEnabled = app.preferences.movementEnabled,
           .paused = app.preferences.paused,
           .sessionLocked = app.shell.sessionLocked,
           .suspended = app.shell.suspended,
           .dragging = app.placement.dragging,
           .fullScreenQuiet = app.shell.fullScreenQuiet,
           .bubbleVisible = app.bubble.bubbleVisible,
           .younger = app.figure.characterArt.younger,
           .characterScale = app.placement.characterScale,
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
  app.motion.lastInteractionTick = now;
  RunMachine(app, [&](MotionMachine& machine) { GreetUser(machine, now); });
}

void RestAfterBubble(CompanionApp& app, uint64_t now) {
  app.motion.lastInteractionTick = now;
  app.motion.idleActionTick = IdleActionTickAfterStill(now, app.scriptureRandom);
}

void RestAfterMenu(CompanionApp& app, uint64_t now) {
  app.motion.idleActionTick = IdleActionTickAfterStill(now, app.scriptureRandom);
}

int32_t SinkOffset(const CompanionApp& app, uint64_t now) {
  return SinkOffset(SinkInputs{.freePlacement = app.preferences.freePlacement,
                               .state = app.motion.motionState,
                               .riseFromSitting = app.motion.riseFromSitting,
                               .now = now,
                               .motionStartTick = app.motion.motionStartTick,
                               .clipMs = ClipDurationMs(app.figure.characterArt),
                               .monitorBottom = app.placement.currentMonitor.info.rcMonitor.bottom,
                               .workBottom = app.placement.currentMonitor.info.rcWork.bottom,
                               .characterScale = app.placement.characterScale});
}

}  // namespace companion
