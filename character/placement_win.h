#pragma once
// Docking on the taskbar, what the full-screen watch sees, and dragging.
#include <cstdint>

namespace companion {

struct CompanionApp;

// Chooses the monitor, computes scale and position, moves the window and sizes the figure's
// surface. force treats the monitor as changed (start-up, monitor choice, return to taskbar).
void PlaceCharacter(CompanionApp& app, bool force);
// Places the figure at the scale for `dpi` (0: 96) and the size preference, keeping its bottom
// centre: a new DPI (which Wine never reports through the window itself), a new size while free.
void RescaleCharacter(CompanionApp& app, uint32_t dpi);

// Whether a full-screen program or a presentation runs in front on the figure's monitor.
bool IsFullScreen(const CompanionApp& app);
// The taskbar can be raised over topmost windows; the figure and its bubble go back on top.
void KeepTopmost(CompanionApp& app);

// How a press of the figure ended: still going, as a click, or as a drag (already saved).
enum class PressEnd { None, Clicked, Dragged };

// WM_LBUTTONDOWN on the figure: a press that may become a drag.
void PressCharacter(CompanionApp& app);
// Follows the pointer while the button is down; true when the figure moved.
bool DragMove(CompanionApp& app);
// WM_LBUTTONUP: ends the press; a drag is saved, a press that never moved is a click.
PressEnd ReleaseCharacter(CompanionApp& app);
// TIMER_DRAG, after following the pointer: ends the press when its button-up message was lost.
PressEnd DragTimerStep(CompanionApp& app);
// Ends a drag without a click action, saving the preferences if it had moved the figure.
void EndDrag(CompanionApp& app);

}  // namespace companion
