#pragma once
// A 32-bit top-down premultiplied-alpha DIB section selected into a memory device context: the
// pixels of a layered window, or of an off-screen frame.
#include <windows.h>

#include <cstdint>

namespace companion {

struct DesktopSurface {
  HDC memoryDc = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  uint8_t* pixels = nullptr;  // blue, green, red, alpha; rows of exactly width * 4 bytes
  int32_t width = 0;
  int32_t height = 0;

  DesktopSurface() = default;
  DesktopSurface(const DesktopSurface&) = delete;
  DesktopSurface& operator=(const DesktopSurface&) = delete;
  ~DesktopSurface();
};

// Selects the previous bitmap back, deletes the DIB and the device context, zeroes every field.
void ReleaseSurface(DesktopSurface& surface);

}  // namespace companion
