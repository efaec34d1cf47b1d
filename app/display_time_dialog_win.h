#pragma once
// The "Custom…" display-time dialog (template IDD_DISPLAY_TIME).
#include <windows.h>

#include <cstdint>

namespace companion {

inline constexpr char16_t kDisplayTimeRefusedText[] =
    u"Enter a whole number from 1 to 600 seconds.";
inline constexpr char16_t kDisplayTimeRefusedCaption[] = u"Display time";

// lParam of WM_INITDIALOG points to an int32_t number of seconds: the initial value on entry,
// the accepted one when the dialog ends with IDOK.
INT_PTR CALLBACK DisplayTimeDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;

// Runs the dialog modally from the template in `resources`; returns IDOK with `seconds` set to
// the accepted value, or IDCANCEL (or -1 when the dialog cannot be created) leaving it alone.
INT_PTR RunDisplayTimeDialog(HINSTANCE resources, HWND owner, int32_t& seconds);

}  // namespace companion
