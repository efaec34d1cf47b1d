#pragma once
#include <windows.h>

namespace companion {

// The companion window's procedure: hands each message to its handler inside one catch-all.
LRESULT CALLBACK CompanionWindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

}  // namespace companion
