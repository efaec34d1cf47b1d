#pragma once
// Docking on the taskbar, the once-a-second tick, the full-screen watch and dragging.
#include <cstdint>

namespace companion {

struct CompanionApp;

// Chooses the monitor, computes scale and position, moves the window and sizes the figure's
// surface. force treats the monitor as changed (start-up, monitor choice, return to taskbar).
void PlaceCharacter(CompanionApp& app, bool force);
// Places the figure at the scale for `dpi` (0: 96) and the size preference, keeping its bottom
// centre: a new DPI (which Wine never reports through the window itself), a new size while free.
void RescaleCharacter(CompanionApp& app, uint32_t dpi);

// The TIMER_TICK handler.
void CompanionTick(CompanionApp& app);

// Hides the companion while a full-screen program or a presentation runs on its monitor, and
// shows it again afterwards.
void FullScreenWatch(CompanionApp& app, uint64_t now);

// WM_LBUTTONDOWN on the figure: a press that may become a drag.
void PressCharacter(CompanionApp& app);
// Follows the pointer while the button is down; does nothing otherwise.
void DragMove(CompanionApp& app);
// WM_LBUTTONUP: ends the drag and saves, or applies the click rule when the press never moved.
void ReleaseCharacter(CompanionApp& app);
// TIMER_DRAG: follows the pointer, and ends the drag when the button-up message was lost.
void DragTimerStep(CompanionApp& app);
// Ends a drag without a click action, saving the preferences if it had moved the figure.
void EndDrag(CompanionApp& app);

}  // namespace companion
