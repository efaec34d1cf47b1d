#include "base/desktop_surface_win.h"

#include <cstring>
#include <stdexcept>

namespace companion {

DesktopSurface::~DesktopSurface() {
  ReleaseSurface(*this);
}

void ReleaseSurface(DesktopSurface& surface) {
  if (surface.previousBitmap) SelectObject(surface.memoryDc, surface.previousBitmap);
  if (surface.dib) DeleteObject(surface.dib);
  if (surface.memoryDc) DeleteDC(surface.memoryDc);
  surface.memoryDc = nullptr;
  surface.dib = nullptr;
  surface.previousBitmap = nullptr;
  surface.pixels = nullptr;
  surface.width = 0;
  surface.height = 0;
}

// Runs before the bitmap wraps the pixels, so GDI+ never sees the previous frame. The one check
// every user of a surface passes: one whose allocation failed has no pixels to draw into.
uint8_t* ClearSurface(DesktopSurface& surface) {
  if (!surface.pixels) throw std::runtime_error("Cannot allocate desktop surface");
  std::memset(surface.pixels, 0, size_t(surface.width) * size_t(surface.height) * 4);
  return surface.pixels;
}

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
  void* pixels = nullptr;
  surface.dib = CreateDIBSection(surface.memoryDc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  surface.pixels = static_cast<uint8_t*>(pixels);
  if (!surface.memoryDc || !surface.dib || !surface.pixels) {
    // Nothing half made stays behind: a retry at this size allocates again, and drawing into
    // the surface meanwhile fails the same way (SurfaceCanvas) instead of writing through null.
    ReleaseSurface(surface);
    surface.width = width;
    surface.height = height;
    throw std::runtime_error("Cannot allocate desktop surface");
  }
  surface.previousBitmap = SelectObject(surface.memoryDc, surface.dib);
}

bool PushLayeredFrame(const DesktopSurface& surface, HWND window, int32_t x, int32_t y,
                      uint8_t alpha) {
  POINT destination{x, y};
  SIZE size{surface.width, surface.height};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  return UpdateLayeredWindow(window, nullptr, &destination, &size, surface.memoryDc, &source, 0,
                             &blend, ULW_ALPHA) != FALSE;
}

SurfaceCanvas::SurfaceCanvas(DesktopSurface& surface, float scale)
    : bitmap_(surface.width, surface.height, surface.width * 4, PixelFormat32bppPARGB,
              ClearSurface(surface)),
      graphics_(&bitmap_) {
  graphics_.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics_.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
  graphics_.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  if (scale != 1.0f) graphics_.ScaleTransform(scale, scale, Gdiplus::MatrixOrderPrepend);
}

SurfaceCanvas::~SurfaceCanvas() {
  graphics_.Flush(Gdiplus::FlushIntentionSync);
}

}  // namespace companion
