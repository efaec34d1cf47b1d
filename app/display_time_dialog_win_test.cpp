#include "app/display_time_dialog_win.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "resources/resource_ids.h"

namespace companion {
namespace {

HWND WaitForDialog(const wchar_t* title, HWND nullOnceGone = nullptr) {  // or after ten seconds
  for (int i = 0; i < 1000 && (!nullOnceGone || IsWindow(nullOnceGone)); ++i, Sleep(10))
    if (HWND found = FindWindowW(L"#32770", title); found && IsWindowVisible(found)) return found;
  return nullptr;
}

// The text of the box, owned by the dialog, that refused `typed`, closed again; empty if accepted.
std::wstring PressOkWith(HWND dialog, const wchar_t* typed) {
  SetDlgItemTextW(dialog, IDC_DISPLAY_TIME_SECONDS, typed);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  HWND box = WaitForDialog(L"Display time", dialog);
  if (!box) return L"";
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog) << typed;
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);  // a message box's text control
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 1000 && IsWindow(box); ++i)
    Sleep(5);
  return text;
}

// Typing replaces the selected value, dropping all but three digits; a refused value keeps the
// dialog open; Cancel keeps the old value. A helper thread drives the program's own template.
TEST(DisplayTimeDialog, FiltersTypingRefusesOutOfRangeAndCancelKeepsTheValue) {
  HMODULE program = LoadLibraryExW(L"ScrollwickCompanion.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  for (const bool cancel : {true, false}) {
    int32_t seconds = 45;
    std::thread driver([&] {
      HWND dialog = WaitForDialog(L"Scripture display time");
      EXPECT_EQ(GetDlgItemInt(dialog, IDC_DISPLAY_TIME_SECONDS, nullptr, FALSE), 45u);
      for (wchar_t unit : std::wstring(L"1a2-3 45"))
        SendMessageW(GetDlgItem(dialog, IDC_DISPLAY_TIME_SECONDS), WM_CHAR, unit, 1);
      EXPECT_EQ(GetDlgItemInt(dialog, IDC_DISPLAY_TIME_SECONDS, nullptr, FALSE), 123u);
      EXPECT_EQ(PressOkWith(dialog, L"601"), L"Enter a whole number from 1 to 600 seconds.");
      if (!cancel) PressOkWith(dialog, L"600");       // accepted, it ends the dialog with OK
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // a no-op once OK closed it
    });
    EXPECT_EQ(RunDisplayTimeDialog(program, nullptr, seconds), cancel ? IDCANCEL : IDOK);
    driver.join();
    EXPECT_EQ(seconds, cancel ? 45 : 600);
  }
  FreeLibrary(program);
}

}  // namespace
}  // namespace companion
