#include "tests/live_companion_win.h"

#include "app/startup_win.h"

namespace companion::testing {

LiveCompanion::LiveCompanion(bool preview) : app_(std::make_unique<CompanionApp>()) {
  [[maybe_unused]] static const bool registered =
      (RegisterCompanionClasses(GetModuleHandleW(nullptr)), true);
  app_->preferences.preferencesFolder = folder_.Path();
  app_->preferences.preferencesPath = folder_.Path() + u"\\preferences.ini";
  app_->preferences.positionX = app_->preferences.positionY = 600;
  processCompanionApp = app_.get();
  CreateCompanionWindows(*app_, GetModuleHandleW(nullptr), preview);
  app_->shell.taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
}

LiveCompanion::~LiveCompanion() {
  if (app_->scripture.scriptureFuture.valid()) app_->scripture.scriptureFuture.wait();
  if (IsWindow(window())) DestroyWindow(window());
  TakeQuitMessage();
  processCompanionApp = nullptr;
}

LRESULT LiveCompanion::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageW(window(), message, wParam, lParam);
}

bool LiveCompanion::TimerRunning(UINT_PTR id, UINT periodMs) const {
  return KillTimer(window(), id) && SetTimer(window(), id, periodMs, nullptr);
}

bool LiveCompanion::TakeQuitMessage() {
  bool quit = false;
  for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
    quit |= message.message == WM_QUIT;
  return quit;
}

bool LiveCompanion::EndMenuOpenedBy(const std::function<void()>& open) {
  static bool shown = false;
  shown = false;
  // A thread timer: the menu's modal loop dispatches it while the menu is up.
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND menu = FindWindowW(L"#32768", nullptr);
    shown = menu && IsWindowVisible(menu);
    EndMenu();
  });
  open();
  KillTimer(nullptr, timer);  // still pending when no menu loop ran
  return shown;
}

}  // namespace companion::testing
