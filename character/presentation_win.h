#pragma once
// The figure's layered window: a frame drawn into a premultiplied DIB section and handed to
// Windows with UpdateLayeredWindow.
#include <windows.h>

#include <cstdint>

#include "character/desktop_surface_win.h"

namespace companion {

struct CompanionApp;

// Makes the surface exactly width x height; nothing happens when it already is. Throws "Cannot
// allocate desktop surface", leaving the size recorded and no objects, so a retry allocates anew.
void ResizeSurface(DesktopSurface& surface, int32_t width, int32_t height);

// Shows the surface as the layered window's content at screen point (x, y), with `alpha` (0 to
// 255) over the per-pixel alpha. The window takes the surface's size.
bool PushLayeredFrame(const DesktopSurface& surface, HWND window, int32_t x, int32_t y,
                      uint8_t alpha);

// Draws the current frame of the current clip and pushes it, sunk into the taskbar while the
// figure sits. Throws "Windows could not display the transparent character".
void RenderCharacter(CompanionApp& app, uint64_t now);

}  // namespace companion
