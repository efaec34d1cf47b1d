#pragma once
// The one sequence a subsystem below app/ starts: the bubble window's close puts the Scripture
// away as a click would. app/ defines it (coordinator_win.cpp); this declaration lets the bubble
// call it without depending on app/, resolved when the program links.

namespace companion {

struct CompanionApp;

// Hides the bubble, drops a pending request, lets the figure rest and restarts the gap to the
// next automatic Scripture. Every step but hiding runs even when no bubble is on screen.
void HideBubble(CompanionApp& app);

}  // namespace companion
