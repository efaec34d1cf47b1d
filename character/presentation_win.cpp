#include "character/presentation_win.h"

#include <stdexcept>

namespace companion {

void ResizeSurface(DesktopSurface& surface, int32_t width, int32_t height) {
  if (surface.memoryDc && surface.width == width && surface.height == height) return;
  ReleaseSurface(surface);
  surface.width = width;
  surface.height = height;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;

  surface.memoryDc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  surface.dib = CreateDIBSection(surface.memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  surface.pixels = static_cast<uint8_t*>(bits);
  if (!surface.memoryDc || !surface.dib || !surface.pixels) {
    throw std::runtime_error("Cannot allocate desktop surface");
  }
  surface.previousBitmap = SelectObject(surface.memoryDc, surface.dib);
}

bool PushLayeredFrame(HWND window, DesktopSurface& surface, int32_t x, int32_t y) {
  POINT destination{x, y};
  SIZE size{surface.width, surface.height};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return UpdateLayeredWindow(window, nullptr, &destination, &size, surface.memoryDc, &source, 0,
                             &blend, ULW_ALPHA) != FALSE;
}

}  // namespace companion
