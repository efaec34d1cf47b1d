#include "tests/message_box_watcher_win.h"

namespace companion::testing {

namespace {

struct Found {
  HWND box = nullptr;
};

BOOL CALLBACK FindOwnDialog(HWND window, LPARAM lParam) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      lstrcmpW(className, L"#32770") == 0) {
    reinterpret_cast<Found*>(lParam)->box = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher() : thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
  stop_ = true;
  thread_.join();
}

std::vector<std::wstring> MessageBoxWatcher::Texts() {
  std::lock_guard lock(mutex_);
  return texts_;
}

void MessageBoxWatcher::Watch() {
  while (!stop_) {
    Found found;
    EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&found));
    if (found.box) {
      // The static text of a message box has the control id 0xFFFF.
      wchar_t text[1024] = {};
      GetDlgItemTextW(found.box, 0xFFFF, text, 1024);
      {
        std::lock_guard lock(mutex_);
        texts_.emplace_back(text);
      }
      PostMessageW(found.box, WM_COMMAND, IDOK, 0);
      while (!stop_ && IsWindow(found.box))
        Sleep(5);
    }
    Sleep(10);
  }
}

}  // namespace companion::testing
