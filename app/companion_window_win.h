#pragma once
#include <windows.h>

namespace companion {

struct CompanionApp;

// The companion window's procedure: hands each message to its handler inside one catch-all,
// which tells the user, destroys the window and so ends the program normally.
LRESULT CALLBACK CompanionWindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

// true: the machine is suspending (hide, stop the clocks); false: resume or unlock (place,
// render and restart the clock; show the window again unless the session is still locked).
void SetSuspended(CompanionApp& app, bool suspend);

// A click on the figure or the tray icon: ask for a Scripture, or dismiss the one on screen or
// on its way.
void ApplyClickRule(CompanionApp& app);

}  // namespace companion
