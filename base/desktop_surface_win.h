#pragma once
// A 32-bit top-down premultiplied-alpha DIB section selected into a memory device context: the
// pixels of a layered window, or of an off-screen frame.
#include <windows.h>
#include <gdiplus.h>

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

// Clears the surface to transparent and returns its pixels. Throws "Cannot allocate desktop
// surface" for a surface without pixels (its allocation failed).
uint8_t* ClearSurface(DesktopSurface& surface);

// Makes the surface exactly width x height; nothing happens when it already is. Throws "Cannot
// allocate desktop surface", leaving the size recorded and no objects, so a retry allocates anew.
void ResizeSurface(DesktopSurface& surface, int32_t width, int32_t height);

// The window-wide alpha under which the per-pixel alpha shows as drawn.
inline constexpr uint8_t kOpaque = 255;

// Shows the surface as the layered window's content at screen point (x, y), with `alpha` (0 to
// 255) over the per-pixel alpha. The window takes the surface's size.
bool PushLayeredFrame(const DesktopSurface& surface, HWND window, int32_t x, int32_t y,
                      uint8_t alpha);

// GDI+ drawing straight onto a surface's own pixels: nothing is copied, and the drawing stays in
// the surface. Construction throws "Cannot allocate desktop surface" for a surface without pixels
// (its allocation failed), and clears the surface to transparent and sets the smoothing every frame
// and bubble is drawn with; `scale` is prepended, so callers draw in unscaled units. Destruction
// flushes, so the pixels are complete once the canvas goes out of scope.
class SurfaceCanvas {
 public:
  explicit SurfaceCanvas(DesktopSurface& surface, float scale = 1.0f);
  ~SurfaceCanvas();
  SurfaceCanvas(const SurfaceCanvas&) = delete;
  SurfaceCanvas& operator=(const SurfaceCanvas&) = delete;

  Gdiplus::Graphics& graphics() { return graphics_; }

 private:
  Gdiplus::Bitmap bitmap_;
  Gdiplus::Graphics graphics_;
};

}  // namespace companion
