#pragma once
// A real companion in the test process: the record, published as the running one, with its
// three windows created exactly as start-up creates them (classes registered once per process).
#include <windows.h>

#include <functional>
#include <memory>

#include "base/companion_app_win.h"

namespace companion::testing {

class LiveCompanion {
 public:
  explicit LiveCompanion(bool preview = false);
  ~LiveCompanion();
  LiveCompanion(const LiveCompanion&) = delete;
  LiveCompanion& operator=(const LiveCompanion&) = delete;

  CompanionApp& app() { return *app_; }
  HWND window() const { return app_->shell.companionWindow; }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Whether a timer of the companion window is set (checked by killing and restoring it).
  bool TimerRunning(UINT_PTR id, UINT periodMs) const;
  // Whether the destroy sequence posted WM_QUIT to this thread (it is taken off the queue).
  static bool TakeQuitMessage();
  // Runs `open`, ending from inside its own loop the popup menu it tracks; whether one was shown.
  static bool EndMenuOpenedBy(const std::function<void()>& open);

 private:
  std::unique_ptr<CompanionApp> app_;
};

}  // namespace companion::testing
