#pragma once
// Reading back and saving what the bubble drew, for the Windows-tier tests.
#include <windows.h>

#include <cstdint>
#include <string>

#include "character/desktop_surface_win.h"

namespace companion::testing {

struct Pixel {
  uint8_t blue, green, red, alpha;
};

inline Pixel PixelAt(const DesktopSurface& surface, int32_t x, int32_t y) {
  const uint8_t* p = surface.pixels + (size_t(y) * size_t(surface.width) + size_t(x)) * 4;
  return {p[0], p[1], p[2], p[3]};
}

// Writes the surface as a PNG, so a person can look at what the bubble drew.
void SaveSurfacePng(const DesktopSurface& surface, const std::wstring& path);

}  // namespace companion::testing
