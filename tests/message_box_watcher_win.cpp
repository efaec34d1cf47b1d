#include "tests/message_box_watcher_win.h"

#include <algorithm>

namespace companion::testing {

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
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
      DWORD process = 0;
      GetWindowThreadProcessId(box, &process);
      if (process != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
      if (std::ranges::find(recorded, box) == recorded.end()) {
        recorded.push_back(box);
        wchar_t text[1024] = {};  // a message box's static text has the control id 0xFFFF
        // Other dialogs (a test's own, still closing) carry no message text.
        if (GetDlgItemTextW(box, 0xFFFF, text, 1024) > 0) {
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
