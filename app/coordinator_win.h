#pragma once
// The sequences that cross subsystems, each in one place: asking for, presenting and hiding a
// Scripture, the click rule, the once-a-second tick, and the session's lock, suspend and resume.
// Each step is an operation of the subsystem that owns what it changes.
#include <cstdint>
#include <string>

#include "base/coordinator_seam_win.h"
#include "scripture/history.h"

namespace companion {

struct CompanionApp;

// Asks for a Scripture unless the companion is quiet; a bubble on screen goes first.
void RequestScripture(CompanionApp& app, bool automatic);
// Shows `entry`: current Scripture and history, the bubble measured, the figure greeting it,
// both drawn, the count saved and the display time started.
void PresentScripture(CompanionApp& app, ScriptureHistoryEntry entry, bool addToHistory);
// Takes a finished request, never waiting for one, and presents it, asks again or shows an
// offline verse, as the collect decision says.
void CollectAndPresent(CompanionApp& app);
void ShowOfflineVerse(CompanionApp& app);
void ShowPreviousScripture(CompanionApp& app);
// A click on the figure or the tray icon: ask for a Scripture, or dismiss the one on screen or
// on its way.
void ApplyClickRule(CompanionApp& app);

// The TIMER_TICK handler: runs the steps PlanTick decides, in its order.
void CompanionTick(CompanionApp& app);

void LockSession(CompanionApp& app);
void UnlockSession(CompanionApp& app);
// true: the machine is suspending (hide, stop the clocks); false: resume or unlock (place,
// render and restart the clock; show the window again unless the session is still locked).
void SetSuspended(CompanionApp& app, bool suspend);

}  // namespace companion
