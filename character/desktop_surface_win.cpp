#include "character/desktop_surface_win.h"

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

}  // namespace companion
