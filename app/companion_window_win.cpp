#include "app/companion_window_win.h"

#include "app/companion_app_win.h"
#include "app/companion_messages.h"
#include "app/wide_win.h"

namespace companion {

namespace {

constexpr char16_t kFailureText[] = u"The companion could not continue. Please restart it.";

LRESULT DispatchCompanionMessage(CompanionApp&, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      KillTimer(window, TIMER_TICK);
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT FailCompanion(HWND window) {
  MessageBoxW(window, AsWide(kFailureText), AsWide(kCompanionTitle), MB_OK | MB_ICONERROR);
  DestroyWindow(window);
  return 0;
}

}  // namespace

LRESULT CALLBACK CompanionWindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
  CompanionApp* app = processCompanionApp;
  if (!app) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return DispatchCompanionMessage(*app, window, message, wParam, lParam);
  } catch (...) {
    return FailCompanion(window);
  }
}

}  // namespace companion
