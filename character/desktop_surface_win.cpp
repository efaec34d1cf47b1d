#include "character/desktop_surface_win.h"

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

namespace {

// Runs before the bitmap wraps the pixels, so GDI+ never sees the previous frame. The one check
// every user of a surface passes: one whose allocation failed has no pixels to draw into.
uint8_t* ClearedPixels(DesktopSurface& surface) {
  if (!surface.pixels) throw std::runtime_error("Cannot allocate desktop surface");
  std::memset(surface.pixels, 0, size_t(surface.width) * size_t(surface.height) * 4);
  return surface.pixels;
}

}  // namespace

SurfaceCanvas::SurfaceCanvas(DesktopSurface& surface, float scale)
    : bitmap_(surface.width, surface.height, surface.width * 4, PixelFormat32bppPARGB,
              ClearedPixels(surface)),
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
