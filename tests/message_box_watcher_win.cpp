#include "tests/message_box_watcher_win.h"

#include <algorithm>

namespace companion::testing {

namespace {

BOOL CALLBACK CollectOwnDialogs(HWND window, LPARAM lParam) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      lstrcmpW(className, L"#32770") == 0) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
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

// Never waits on one box: a dialog that lingers (its thread busy elsewhere) must not keep the
// watcher from the next box. Each box's text is recorded once; OK is posted until it goes.
void MessageBoxWatcher::Watch() {
  std::vector<HWND> recorded;
  while (!stop_) {
    std::erase_if(recorded, [](HWND box) { return !IsWindow(box); });
    std::vector<HWND> boxes;
    EnumWindows(CollectOwnDialogs, reinterpret_cast<LPARAM>(&boxes));
    for (HWND box : boxes) {
      if (std::find(recorded.begin(), recorded.end(), box) == recorded.end()) {
        // The static text of a message box has the control id 0xFFFF.
        wchar_t text[1024] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1024);
        recorded.push_back(box);
        // Other dialogs (a test's own, still closing) carry no message text.
        if (text[0] != L'\0') {
          std::lock_guard lock(mutex_);
          texts_.emplace_back(text);
        }
      }
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    Sleep(10);
  }
}

}  // namespace companion::testing
