#include "character/presentation_win.h"

#include <stdexcept>

#include "app/companion_app_win.h"
#include "character/motion_win.h"

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

void RenderCharacter(CompanionApp& app, uint64_t now) {
  DesktopSurface& surface = app.characterSurface;
  // Before the first placement with a monitor the figure has no size, and nothing is drawn.
  if (surface.width == 0) return;
  CharacterArt& art = app.characterArt;
  EnsureClip(art, ClipForState(app.motionState, app.walkFromX, app.walkToX, app.riseFromSitting));
  const uint64_t clipMs = ClipDurationMs(art);
  const uint64_t elapsed =
      FrameElapsedMs(now, app.motionStartTick, clipMs, app.motionState, app.riseFromSitting);

  {
    SurfaceCanvas canvas(surface, app.characterScale);
    DrawClipFrame(art, canvas.graphics(), elapsed);
  }

  const int32_t sink = SinkOffset(app, now);
  if (!PushLayeredFrame(surface, app.companionWindow, app.positionX, app.positionY + sink, 255)) {
    throw std::runtime_error("Windows could not display the transparent character");
  }
}

}  // namespace companion
