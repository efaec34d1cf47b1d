#pragma once
// Getting pixels onto the screen through layered windows.
#include <windows.h>

#include <cstdint>

#include "character/desktop_surface_win.h"

namespace companion {

// Makes the surface exactly width x height (a no-op when it already is). Throws "Cannot allocate
// desktop surface".
void ResizeSurface(DesktopSurface& surface, int32_t width, int32_t height);

// Shows the surface as the layered window's content with its top-left corner at (x, y), per-pixel
// alpha at full opacity; false when Windows refuses, so each caller can name what failed.
bool PushLayeredFrame(HWND window, DesktopSurface& surface, int32_t x, int32_t y);

}  // namespace companion
