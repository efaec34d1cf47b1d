#pragma once
// "Start with Windows": the setting's only store is a value under the current user's Run key,
// which Windows reads at logon. Nothing is cached, so a change made outside the program shows
// the next time the menu opens.
#include <windows.h>

#include <string>

namespace companion {

struct CompanionApp;

inline constexpr char16_t kRunKeyPath[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char16_t kRunValueName[] = u"ScrollwickCompanion";
inline constexpr char16_t kStartupFailureText[] =
    u"Windows could not update the startup preference.";

// On whenever a REG_SZ value of the name exists, whatever path it holds.
bool IsStartWithWindows();
// Deletes the value when the setting is on, otherwise writes the quoted program path; tells the
// user, in a box owned by the companion window, when the registry cannot be changed.
void ToggleStartWithWindows(CompanionApp& app);
// The running program file's full path; empty when Windows cannot tell.
std::u16string ModuleFileName();

// The same operations on the Run value under another key of the current user, so tests can
// use a scratch key. ToggleStartWithWindowsAt returns whether the registry was changed.
bool IsStartWithWindowsAt(const std::u16string& keyPath);
bool ToggleStartWithWindowsAt(HWND owner, const std::u16string& keyPath,
                              const std::u16string& programPath);

}  // namespace companion
