#include "app/display_time_dialog_win.h"

#include "app/menu.h"
#include "base/wide_win.h"
#include "resources/resource_ids.h"

namespace companion {

namespace {

void InitDisplayTimeDialog(HWND dialog, LPARAM parameter) {
  SetWindowLongPtrW(dialog, DWLP_USER, parameter);
  const int32_t seconds = *reinterpret_cast<const int32_t*>(parameter);
  SetDlgItemInt(dialog, IDC_DISPLAY_TIME_SECONDS, static_cast<UINT>(seconds), FALSE);
  HWND edit = GetDlgItem(dialog, IDC_DISPLAY_TIME_SECONDS);
  SendMessageW(edit, EM_LIMITTEXT, kDisplayTimeDigits, 0);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
}

void AcceptDisplayTime(HWND dialog) {
  BOOL readOk = FALSE;
  const UINT seconds = GetDlgItemInt(dialog, IDC_DISPLAY_TIME_SECONDS, &readOk, FALSE);
  if (IsAcceptedDisplayTime(readOk != FALSE, seconds)) {
    *reinterpret_cast<int32_t*>(GetWindowLongPtrW(dialog, DWLP_USER)) =
        static_cast<int32_t>(seconds);
    EndDialog(dialog, IDOK);
    return;
  }
  // The dialog stays open with the text as typed.
  MessageBoxW(dialog, AsWide(kDisplayTimeRefusedText), AsWide(kDisplayTimeRefusedCaption),
              MB_ICONINFORMATION);
}

}  // namespace

INT_PTR CALLBACK DisplayTimeDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
  switch (message) {
    case WM_INITDIALOG:
      InitDisplayTimeDialog(dialog, lParam);
      // The focus was set above; TRUE would let the dialog manager move it.
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          AcceptDisplayTime(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR RunDisplayTimeDialog(HINSTANCE resources, HWND owner, int32_t& seconds) {
  return DialogBoxParamW(resources, MAKEINTRESOURCEW(IDD_DISPLAY_TIME), owner,
                         DisplayTimeDialogProc, reinterpret_cast<LPARAM>(&seconds));
}

}  // namespace companion
