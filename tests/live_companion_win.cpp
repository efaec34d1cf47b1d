#include "tests/live_companion_win.h"

#include "app/startup_win.h"

namespace companion::testing {

namespace {

void RegisterClassesOnce() {
  static const bool registered = [] {
    RegisterCompanionClasses(GetModuleHandleW(nullptr));
    return true;
  }();
  (void)registered;
}

}  // namespace

LiveCompanion::LiveCompanion(bool preview) : app_(std::make_unique<CompanionApp>()) {
  RegisterClassesOnce();
  processCompanionApp = app_.get();
  CreateCompanionWindows(*app_, GetModuleHandleW(nullptr), preview);
  app_->shell.taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
}

LiveCompanion::~LiveCompanion() {
  if (app_->shell.companionWindow && IsWindow(app_->shell.companionWindow)) {
    DestroyWindow(app_->shell.companionWindow);
  }
  TakeQuitMessage();
  processCompanionApp = nullptr;
}

LRESULT LiveCompanion::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageW(app_->shell.companionWindow, message, wParam, lParam);
}

bool LiveCompanion::TimerRunning(UINT_PTR id, UINT periodMs) const {
  if (!KillTimer(app_->shell.companionWindow, id)) return false;
  SetTimer(app_->shell.companionWindow, id, periodMs, nullptr);
  return true;
}

bool LiveCompanion::TakeQuitMessage() {
  MSG message;
  bool quit = false;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) quit = true;
  }
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
