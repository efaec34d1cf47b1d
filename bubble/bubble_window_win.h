#pragma once
#include <windows.h>

namespace companion {

// The Scripture bubble window's procedure.
LRESULT CALLBACK BubbleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace companion
