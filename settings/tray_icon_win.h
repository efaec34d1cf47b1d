#pragma once
// The notification-area icon: a click asks for or dismisses a Scripture, a right-click opens the
// menu (both arrive at the companion window as WM_COMPANION_TRAY).
namespace companion {

struct CompanionApp;

// Builds the icon record from zero and adds it; a failed add is silent (the next
// "TaskbarCreated" broadcast tries again).
void AddTrayIcon(CompanionApp& app);
void RemoveTrayIcon(CompanionApp& app);

}  // namespace companion
