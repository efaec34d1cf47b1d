#pragma once
// The motion state machine on the companion record: its platform steps are the clip atlas, the
// frame timer TIMER_MOTION, RenderCharacter and the pointer over the figure.
#include <cstdint>

#include "character/motion.h"

namespace companion {

struct CompanionApp;

void SetMotionState(CompanionApp& app, MotionState state, uint64_t now);
// Kills TIMER_MOTION and clears motionTimerRunning; a clip cut short is remembered.
void StopMotionTimer(CompanionApp& app);
// Called wherever a blocker ends (release, drag end, capture lost, end of full screen, the menu
// closing): the remembered clip goes on where it stopped, if nothing else still blocks it.
void ResumeMotion(CompanionApp& app);
void MotionStep(CompanionApp& app, uint64_t now);
void BehaviourTick(CompanionApp& app, uint64_t now);
void GreetUser(CompanionApp& app, uint64_t now);
// A bubble went: the figure takes it as the user's last touch and rests a minute or two.
void RestAfterBubble(CompanionApp& app, uint64_t now);
// The menu closed: the figure rests a minute or two before its next idle action.
void RestAfterMenu(CompanionApp& app, uint64_t now);
// Pixels the figure is drawn below its resting position at `now`; the bubble follows it.
int32_t SinkOffset(const CompanionApp& app, uint64_t now);

}  // namespace companion
