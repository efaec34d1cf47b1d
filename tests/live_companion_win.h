#pragma once
// A real companion in the test process: the record, its preferences in a fresh folder, published
// as the running one, its three windows created exactly as start-up creates them (classes
// registered once per process) and the figure, not yet placed, standing where a bubble fits above.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "base/companion_app_win.h"
#include "base/desktop_surface_win.h"
#include "tests/temp_folder_win.h"

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
  TempFolder folder_;
  std::unique_ptr<CompanionApp> app_;
};

struct Pixel {
  uint8_t blue, green, red, alpha;
};
inline Pixel PixelAt(const DesktopSurface& surface, int32_t x, int32_t y) {
  const uint8_t* p = surface.pixels + (size_t(y) * size_t(surface.width) + size_t(x)) * 4;
  return {p[0], p[1], p[2], p[3]};
}

}  // namespace companion::testing
