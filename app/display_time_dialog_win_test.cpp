#include "app/display_time_dialog_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/wide_win.h"
#include "resources/resource_ids.h"
#include "settings/startup_registration_win.h"

namespace companion {
namespace {

// The program's own resources, loaded from ScrollwickCompanion.exe beside the test program, so
// the tests run the template the program ships.
class ProgramResources {
 public:
  ProgramResources() {
    std::u16string path = ModuleFileName();
    path.erase(path.find_last_of(u'\\') + 1);
    path += u"ScrollwickCompanion.exe";
    module_ = LoadLibraryExW(AsWide(path), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~ProgramResources() {
    if (module_) FreeLibrary(module_);
  }
  ProgramResources(const ProgramResources&) = delete;
  ProgramResources& operator=(const ProgramResources&) = delete;

  HMODULE module() const { return module_; }

 private:
  HMODULE module_ = nullptr;
};

// Reads an extended dialog template field by field.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : at_(data), start_(data) {}

  template <typename T>
  T Next() {
    T value;
    std::memcpy(&value, at_, sizeof(T));
    at_ += sizeof(T);
    return value;
  }
  // A string, or 0xFFFF and an ordinal (returned as "#<ordinal>").
  std::wstring NameOrOrdinal() {
    const WORD first = Next<WORD>();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Next<WORD>());
    std::wstring text;
    for (WORD unit = first; unit != 0; unit = Next<WORD>())
      text += static_cast<wchar_t>(unit);
    return text;
  }
  void AlignToDword() {
    while ((at_ - start_) % 4 != 0)
      ++at_;
  }

 private:
  const BYTE* at_;
  const BYTE* start_;
};

struct ControlTemplate {
  DWORD style;
  std::wstring windowClass;
  int id;
  std::wstring text;
  short x, y, cx, cy;

  bool operator==(const ControlTemplate&) const = default;
};

void PrintTo(const ControlTemplate& c, std::ostream* out) {
  *out << "{style 0x" << std::hex << c.style << std::dec << ", class ";
  for (wchar_t unit : c.windowClass)
    *out << static_cast<char>(unit);
  *out << ", id " << c.id << ", text \"";
  for (wchar_t unit : c.text)
    *out << static_cast<char>(unit);
  *out << "\", " << c.x << ", " << c.y << ", " << c.cx << ", " << c.cy << "}";
}

TEST(DisplayTimeDialogTemplate, MatchesTheLayout) {
  ProgramResources program;
  ASSERT_NE(program.module(), nullptr);
  HRSRC found = FindResourceW(program.module(), MAKEINTRESOURCEW(IDD_DISPLAY_TIME), RT_DIALOG);
  ASSERT_NE(found, nullptr);
  TemplateReader reader(
      static_cast<const BYTE*>(LockResource(LoadResource(program.module(), found))));

  EXPECT_EQ(reader.Next<WORD>(), 1);  // extended template
  EXPECT_EQ(reader.Next<WORD>(), 0xFFFF);
  reader.Next<DWORD>();  // help id
  EXPECT_EQ(reader.Next<DWORD>(), 0u);
  EXPECT_EQ(reader.Next<DWORD>(),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  const WORD count = reader.Next<WORD>();
  EXPECT_EQ(reader.Next<short>(), 0);
  EXPECT_EQ(reader.Next<short>(), 0);
  EXPECT_EQ(reader.Next<short>(), 220);
  EXPECT_EQ(reader.Next<short>(), 86);
  EXPECT_EQ(reader.NameOrOrdinal(), L"");  // no menu
  EXPECT_EQ(reader.NameOrOrdinal(), L"");  // the standard dialog class
  EXPECT_EQ(reader.NameOrOrdinal(), L"Scripture display time");
  EXPECT_EQ(reader.Next<WORD>(), 9);  // points
  reader.Next<WORD>();                // weight
  reader.Next<BYTE>();                // italic
  reader.Next<BYTE>();                // character set
  EXPECT_EQ(reader.NameOrOrdinal(), L"Segoe UI");

  std::vector<ControlTemplate> controls;
  for (WORD i = 0; i < count; ++i) {
    reader.AlignToDword();
    reader.Next<DWORD>();  // help id
    EXPECT_EQ(reader.Next<DWORD>(), 0u);
    ControlTemplate control{};
    control.style = reader.Next<DWORD>();
    control.x = reader.Next<short>();
    control.y = reader.Next<short>();
    control.cx = reader.Next<short>();
    control.cy = reader.Next<short>();
    control.id = static_cast<int>(reader.Next<DWORD>());
    control.windowClass = reader.NameOrOrdinal();
    control.text = reader.NameOrOrdinal();
    EXPECT_EQ(reader.Next<WORD>(), 0);  // no creation data
    controls.push_back(control);
  }
  const DWORD child = WS_CHILD | WS_VISIBLE;
  // Class ordinals: 0x80 button, 0x81 edit, 0x82 static.
  const std::vector<ControlTemplate> expected = {
      {child | WS_GROUP | SS_LEFT, L"#130", -1,
       L"Show each Scripture for this many seconds (1-600):", 10, 10, 200, 20},
      {child | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, L"#129",
       IDC_DISPLAY_TIME_SECONDS, L"", 10, 34, 80, 14},
      {child | WS_TABSTOP | BS_DEFPUSHBUTTON, L"#128", IDOK, L"OK", 104, 60, 48, 15},
      {child | WS_TABSTOP, L"#128", IDCANCEL, L"Cancel", 160, 60, 48, 15},
  };
  EXPECT_EQ(controls, expected);
}

using Clock = std::chrono::steady_clock;

// The first shown top-level dialog-class window of this process that `accept` takes; null after
// ten seconds, or as soon as `whileAlive` (when given) is gone.
HWND WaitForDialog(const std::function<bool(HWND)>& accept, HWND whileAlive = nullptr) {
  struct Search {
    const std::function<bool(HWND)>* accept;
    HWND found;
  };
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline && (!whileAlive || IsWindow(whileAlive))) {
    Search search{&accept, nullptr};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lParam);
          DWORD process = 0;
          GetWindowThreadProcessId(window, &process);
          wchar_t className[16] = {};
          GetClassNameW(window, className, 16);
          if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
              lstrcmpW(className, L"#32770") == 0 && (*s->accept)(window)) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(10);
  }
  return nullptr;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

HWND WaitForDisplayTimeDialog() {
  return WaitForDialog([](HWND window) { return WindowText(window) == L"Scripture display time"; });
}

struct Refusal {
  std::wstring text;
  std::wstring caption;
  bool dialogStillOpen = false;
  std::wstring fieldAfter;
};

// Types `typed` into the dialog's field and presses OK, then closes the information box the
// dialog answers with (none appears when the value is accepted).
Refusal PressOkWith(HWND dialog, const wchar_t* typed) {
  Refusal refusal;
  SetDlgItemTextW(dialog, IDC_DISPLAY_TIME_SECONDS, typed);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  HWND box = WaitForDialog([dialog](HWND window) { return GetWindow(window, GW_OWNER) == dialog; },
                           dialog);
  if (!box) return refusal;
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);  // a message box's text control
  refusal.text = text;
  refusal.caption = WindowText(box);
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
class DisplayTimeDialog : public ::testing::Test {
 protected:
  INT_PTR Run(int32_t& seconds, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
      HWND dialog = WaitForDisplayTimeDialog();
      if (!dialog) return;
      drive(dialog);
      // Whatever the driver left open ends here, so a failed check cannot hang the test.
      if (IsWindow(dialog)) PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    const INT_PTR result = RunDisplayTimeDialog(program_.module(), nullptr, seconds);
    driver.join();
    return result;
  }

  ProgramResources program_;
};

TEST_F(DisplayTimeDialog, OpensWithTheCurrentValueSelectedAndFocused) {
  int32_t seconds = 45;
  std::wstring field;
  DWORD selectionStart = 99, selectionEnd = 99;
  LRESULT limit = 0;
  bool focused = false;
  Run(seconds, [&](HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_DISPLAY_TIME_SECONDS);
    field = WindowText(edit);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                 reinterpret_cast<LPARAM>(&selectionEnd));
    limit = SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    focused = info.hwndFocus == edit;
  });
  EXPECT_EQ(field, L"45");
  EXPECT_EQ(selectionStart, 0u);
  EXPECT_EQ(selectionEnd, 2u);
  EXPECT_EQ(limit, 3);
  EXPECT_TRUE(focused);
}

TEST_F(DisplayTimeDialog, FieldTakesAtMostThreeDigitsAndNothingElse) {
  int32_t seconds = 10;
  std::wstring field;
  Run(seconds, [&](HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_DISPLAY_TIME_SECONDS);
    SetWindowTextW(edit, L"");
    for (wchar_t typed : std::wstring(L"1a2-3 45"))
      SendMessageW(edit, WM_CHAR, typed, 1);
    field = WindowText(edit);
  });
  EXPECT_EQ(field, L"123");
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
    EXPECT_EQ(refusal.caption, L"Display time") << typed;
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
