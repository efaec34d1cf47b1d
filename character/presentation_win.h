#pragma once
// The figure's layered window: a frame drawn into a premultiplied DIB section and handed to
// Windows with UpdateLayeredWindow.
#include <windows.h>

#include <cstdint>

#include "base/desktop_surface_win.h"

namespace companion {

struct CompanionApp;

// Draws the current frame of the current clip and pushes it, sunk into the taskbar while the
// figure sits. Throws "Windows could not display the transparent character".
void RenderCharacter(CompanionApp& app, uint64_t now);

}  // namespace companion
