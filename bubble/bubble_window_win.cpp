#include "bubble/bubble_window_win.h"

#include "app/companion_app_win.h"

namespace companion {

LRESULT CALLBACK BubbleWindowProc(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) noexcept {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace companion
