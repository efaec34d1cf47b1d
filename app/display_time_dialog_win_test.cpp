#include "app/display_time_dialog_win.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "resources/resource_ids.h"

namespace companion {
namespace {

// Null after ten seconds, or as soon as `whileAlive` (when given) is gone.
HWND WaitForDialog(const wchar_t* title, HWND whileAlive = nullptr) {
  for (int i = 0; i < 1000 && (!whileAlive || IsWindow(whileAlive)); ++i) {
    HWND found = FindWindowW(L"#32770", title);
    if (found && IsWindowVisible(found)) return found;
    Sleep(10);
  }
  return nullptr;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// The text of the box that refused `typed`, closed again with the dialog still open; empty when
// the value was accepted.
std::wstring PressOkWith(HWND dialog, const wchar_t* typed) {
  SetDlgItemTextW(dialog, IDC_DISPLAY_TIME_SECONDS, typed);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  HWND box = WaitForDialog(L"Display time", dialog);
  if (!box) return L"";
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);  // a message box's text control
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog) << typed;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 1000 && IsWindow(box); ++i)
    Sleep(5);
  EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << typed;
  return text;
}

// Typing replaces the selected value; letters, signs, spaces and a fourth digit are dropped.
// Cancel keeps the old value; OK with a refused value keeps the dialog open, so the limit can
// follow at once. Which values are accepted is the portable rule's, tested natively. A helper
// thread drives the dialog while this thread runs its modal loop (the shared message-box watcher
// would take the dialog for a box), from the template the program ships.
TEST(DisplayTimeDialog, FiltersTypingRefusesOutOfRangeAndCancelKeepsTheValue) {
  HMODULE program = LoadLibraryExW(L"ScrollwickCompanion.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  for (const bool cancel : {true, false}) {
    int32_t seconds = 45;
    std::thread driver([&] {
      HWND dialog = WaitForDialog(L"Scripture display time");
      if (!dialog) return;
      HWND edit = GetDlgItem(dialog, IDC_DISPLAY_TIME_SECONDS);
      EXPECT_EQ(WindowText(edit), L"45");
      for (wchar_t unit : std::wstring(L"1a2-3 45"))
        SendMessageW(edit, WM_CHAR, unit, 1);
      EXPECT_EQ(WindowText(edit), L"123");
      if (!cancel) {
        EXPECT_EQ(PressOkWith(dialog, L"601"), L"Enter a whole number from 1 to 600 seconds.");
        EXPECT_EQ(PressOkWith(dialog, L"600"), L"");
      }
      if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    const INT_PTR result = RunDisplayTimeDialog(program, nullptr, seconds);
    driver.join();
    EXPECT_EQ(result, cancel ? IDCANCEL : IDOK);
    EXPECT_EQ(seconds, cancel ? 45 : 600);
  }
  FreeLibrary(program);
}

}  // namespace
}  // namespace companion
