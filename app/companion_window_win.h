#pragma once
#include <windows.h>

namespace companion {

struct CompanionApp;

// The companion window's procedure: hands each message to its handler inside one catch-all,
// which tells the user, destroys the window and so ends the program normally.
LRESULT CALLBACK CompanionWindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

}  // namespace companion
