#pragma once
// Process start-up, the message loop and shutdown of the companion.
#include <windows.h>

#include <string_view>

namespace companion {

// Exit codes of the process.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNoGdiplus = 1;
inline constexpr int kExitNoMutex = 2;
inline constexpr int kExitMessageLoopFailed = 3;
inline constexpr int kExitFailure = 4;

// Runs the whole program for the text that follows the program name on the command line and
// returns the process exit code.
int RunCompanion(HINSTANCE instance, std::u16string_view arguments);

struct CompanionApp;

// Registers the companion and bubble window classes. Throws "Cannot register companion" or
// "Cannot register Scripture bubble".
void RegisterCompanionClasses(HINSTANCE instance);

// Creates the companion, bubble and hint windows and the hint's tool. Throws with the name of
// the window that could not be created.
void CreateCompanionWindows(CompanionApp& app, HINSTANCE instance, bool preview);

// Finds the running companion window by its class and title; null when none runs.
HWND FindRunningCompanion();

}  // namespace companion
