#include "app/display_time_dialog_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/wide_win.h"
#include "resources/resource_ids.h"
#include "settings/startup_registration_win.h"

namespace companion {
namespace {

// The shown dialog-class window of that title; null after ten seconds, or as soon as
// `whileAlive` (when given) is gone.
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

struct Refusal {
  std::wstring text;
  bool ownedByDialog = false;
  bool dialogStillOpen = false;
  std::wstring fieldAfter;
};

// Types `typed` into the dialog's field and presses OK, then closes the information box the
// dialog answers with (none appears when the value is accepted).
Refusal PressOkWith(HWND dialog, const wchar_t* typed) {
  Refusal refusal;
  SetDlgItemTextW(dialog, IDC_DISPLAY_TIME_SECONDS, typed);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  HWND box = WaitForDialog(L"Display time", dialog);
  if (!box) return refusal;
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);  // a message box's text control
  refusal.text = text;
  refusal.ownedByDialog = GetWindow(box, GW_OWNER) == dialog;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  while (IsWindow(box))
    Sleep(5);
  refusal.dialogStillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
  wchar_t field[16] = {};
  GetDlgItemTextW(dialog, IDC_DISPLAY_TIME_SECONDS, field, 16);
  refusal.fieldAfter = field;
  return refusal;
}

// Drives the real dialog from a helper thread while this thread runs its modal loop. (The
// shared message-box watcher would take the dialog itself for a message box and press OK.)
// The dialog comes from ScrollwickCompanion.exe beside the test program, so the tests run the
// template the program ships.
class DisplayTimeDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    std::u16string path = ModuleFileName();
    path.erase(path.find_last_of(u'\\') + 1);
    module_ = LoadLibraryExW(AsWide(path + u"ScrollwickCompanion.exe"), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  INT_PTR Run(int32_t& seconds, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
      HWND dialog = WaitForDialog(L"Scripture display time");
      if (!dialog) return;
      drive(dialog);
      // Whatever the driver left open ends here, so a failed check cannot hang the test.
      if (IsWindow(dialog)) PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    const INT_PTR result = RunDisplayTimeDialog(module_, nullptr, seconds);
    driver.join();
    return result;
  }

  HMODULE module_ = nullptr;
};

TEST_F(DisplayTimeDialog, OpensWithTheValueSelectedAndTakesAtMostThreeDigits) {
  int32_t seconds = 45;
  std::wstring field, typed;
  DWORD selectionStart = 99, selectionEnd = 99;
  bool focused = false;
  Run(seconds, [&](HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_DISPLAY_TIME_SECONDS);
    field = WindowText(edit);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                 reinterpret_cast<LPARAM>(&selectionEnd));
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    focused = info.hwndFocus == edit;
    // Typing replaces the selection; letters, signs and spaces are dropped, and a fourth digit.
    for (wchar_t unit : std::wstring(L"1a2-3 45"))
      SendMessageW(edit, WM_CHAR, unit, 1);
    typed = WindowText(edit);
  });
  EXPECT_EQ(field, L"45");
  EXPECT_EQ(selectionStart, 0u);
  EXPECT_EQ(selectionEnd, 2u);
  EXPECT_TRUE(focused);
  EXPECT_EQ(typed, L"123");
}

TEST_F(DisplayTimeDialog, RefusesOutOfRangeAndEmptyAndStaysOpen) {
  int32_t seconds = 10;
  std::vector<std::pair<std::wstring, Refusal>> refusals;
  const INT_PTR result = Run(seconds, [&](HWND dialog) {
    for (const wchar_t* typed : {L"0", L"601", L"999", L""}) {
      refusals.emplace_back(typed, PressOkWith(dialog, typed));
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(seconds, 10);
  ASSERT_EQ(refusals.size(), 4u);
  for (const auto& [typed, refusal] : refusals) {
    EXPECT_EQ(refusal.text, L"Enter a whole number from 1 to 600 seconds.") << typed;
    EXPECT_TRUE(refusal.ownedByDialog) << typed;
    EXPECT_TRUE(refusal.dialogStillOpen) << typed;
    EXPECT_EQ(refusal.fieldAfter, typed);
  }
}

TEST_F(DisplayTimeDialog, AcceptsTheLimits) {
  for (const auto& [typed, value] : {std::pair{L"1", 1}, std::pair{L"600", 600}}) {
    int32_t seconds = 10;
    Refusal refusal;
    const INT_PTR result = Run(seconds, [&](HWND dialog) { refusal = PressOkWith(dialog, typed); });
    EXPECT_EQ(result, IDOK) << typed;
    EXPECT_EQ(seconds, value);
    EXPECT_TRUE(refusal.text.empty()) << typed;
  }
}

TEST_F(DisplayTimeDialog, CloseAndCancelKeepTheValue) {
  for (UINT message : {static_cast<UINT>(WM_CLOSE), static_cast<UINT>(WM_COMMAND)}) {
    int32_t seconds = 25;
    const INT_PTR result = Run(seconds, [&](HWND dialog) {
      SetDlgItemTextW(dialog, IDC_DISPLAY_TIME_SECONDS, L"300");
      PostMessageW(dialog, message, message == WM_COMMAND ? IDCANCEL : 0, 0);
    });
    EXPECT_EQ(result, IDCANCEL) << message;
    EXPECT_EQ(seconds, 25);
  }
}

}  // namespace
}  // namespace companion
