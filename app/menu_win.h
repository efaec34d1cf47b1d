#pragma once
// The right-click menu on the companion: built from the record, tracked at the pointer, and the
// commands behind its items.
#include <windows.h>

#include <cstdint>

#include "app/menu.h"

namespace companion {

struct CompanionApp;

// The values the menu reads, gathered from the record (and the Run value in the registry).
MenuInputs GatherMenuInputs(const CompanionApp& app);

// A new popup menu with its submenus attached; the caller destroys it. Throws "Cannot build the
// menu" when Windows refuses a menu or an item.
HMENU BuildContextMenu(const CompanionApp& app);

// Builds the menu, tracks it at the screen point, destroys it, runs the chosen command, then
// schedules the next idle action and restarts the motion timer where movement is allowed.
void ShowContextMenu(CompanionApp& app, POINT point);

void RunMenuCommand(CompanionApp& app, uint32_t id);

// Puts the current Scripture on the clipboard as text; does nothing without one and fails
// silently at any step.
void CopyCurrentScripture(CompanionApp& app);

}  // namespace companion
