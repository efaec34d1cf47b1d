// The bubble of the real program under Wine, with no Bible server reachable: an offline verse
// on request, its hint, its display time, the count in the preferences, closing and clicking.
#include "tests/e2e/companion_process_win.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace companion::e2e {
namespace {

constexpr uint32_t kShowMessage = 0x8003;

bool WaitUntil(bool wanted, HWND window, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < end) {
    if ((IsWindowVisible(window) != FALSE) == wanted) return true;
    Sleep(50);
  }
  return false;
}

int ViewedInPreferences() {
  return GetPrivateProfileIntW(L"Companion", L"ScripturesViewed", -1, PreferencesPath().c_str());
}

// The count is saved just after the bubble appears.
int ViewedAfterShowing(int expected) {
  for (int i = 0; i < 40 && ViewedInPreferences() != expected; ++i)
    Sleep(50);
  return ViewedInPreferences();
}

// The hint tool's text, read through memory in the companion's process as the tooltip needs.
std::wstring HintText(DWORD processId, HWND hint, HWND bubble) {
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return L"";
  constexpr size_t kChars = 512;
  auto* remote = static_cast<uint8_t*>(VirtualAllocEx(
      process, nullptr, sizeof(TTTOOLINFOW) + kChars * 2, MEM_COMMIT, PAGE_READWRITE));
  TTTOOLINFOW tool{};
  tool.cbSize = 64;
  tool.hwnd = bubble;
  tool.uId = reinterpret_cast<UINT_PTR>(bubble);
  tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof(TTTOOLINFOW));
  WriteProcessMemory(process, remote, &tool, sizeof(tool), nullptr);
  SendMessageW(hint, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
  wchar_t text[kChars] = {};
  ReadProcessMemory(process, remote + sizeof(TTTOOLINFOW), text, sizeof(text) - 2, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return text;
}

std::string Encoded(const std::wstring& reference) {
  std::string out;
  for (wchar_t c : reference) {
    if (c == L' ') {
      out += "%20";
    } else if (c == L':') {
      out += "%3A";
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

class Bubble : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(L"ScrollwickCompanion.V1", nullptr), nullptr)
        << "a companion from an earlier test is still running";
    RemovePreferences();
    // Three seconds of display and no automatic Scriptures, so only the test's asks show.
    CompanionProcess first(L"");
    HWND window = WaitForCompanionWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(first.WaitForExit(), 0);
    const std::wstring path = PreferencesPath();
    WritePrivateProfileStringW(L"Companion", L"DisplaySeconds", L"3", path.c_str());
    WritePrivateProfileStringW(L"Companion", L"GapSeconds", L"0", path.c_str());
    WritePrivateProfileStringW(L"Companion", L"ScripturesViewed", L"4", path.c_str());
  }
  void TearDown() override {
    if (HWND window = FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion")) {
      PostMessageW(window, WM_CLOSE, 0, 0);
      WaitForNoCompanionWindow();
    }
    // The short display time and the gap of 0 are for these tests only.
    RemovePreferences();
  }
};

TEST_F(Bubble, OfflineVerseOnRequestThenHiddenAfterItsTime) {
  CompanionProcess companion(L"");
  HWND window = WaitForCompanionWindow();
  ASSERT_NE(window, nullptr);
  HWND bubble = FindWindowW(L"ScrollwickCompanion.Bubble.V1", L"Scripture");
  HWND hint = FindProcessWindow(companion.Id(), TOOLTIPS_CLASSW);
  ASSERT_NE(bubble, nullptr);
  ASSERT_NE(hint, nullptr);
  ASSERT_EQ(ViewedInPreferences(), 4);

  PostMessageW(window, kShowMessage, 0, 0);
  // The worker gives up at once without a server; collection waits at most two ticks.
  ASSERT_TRUE(WaitUntil(true, bubble, 12000));
  const ULONGLONG shownAt = GetTickCount64();
  const std::wstring text = HintText(companion.Id(), hint, bubble);
  const std::wstring suffix = L" \u00B7 WEB (offline backup)";
  ASSERT_GT(text.size(), suffix.size());
  EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix) << text.c_str();
  EXPECT_EQ(ViewedAfterShowing(5), 5);

  EXPECT_FALSE(WaitUntil(false, bubble, 1500));  // still up well within its three seconds
  EXPECT_TRUE(WaitUntil(false, bubble, 6000));
  EXPECT_GE(GetTickCount64() - shownAt, 2500u);
  EXPECT_TRUE(IsWindow(bubble));

  PostMessageW(window, kShowMessage, 0, 0);
  ASSERT_TRUE(WaitUntil(true, bubble, 12000));
  EXPECT_EQ(ViewedAfterShowing(6), 6);

  // Closing the bubble only puts it away.
  SendMessageW(bubble, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(bubble));
  EXPECT_TRUE(IsWindow(bubble));
  EXPECT_TRUE(companion.Running());
}

TEST_F(Bubble, ClickOpensThePassagePage) {
  const char* recorder = std::getenv("SCROLLWICK_URL_RECORDER");
  const char* log = std::getenv("SCROLLWICK_URL_LOG");
  if (!recorder || !log) GTEST_SKIP() << "run through CTest, which provides the URL recorder";
  // Wine's browser launcher runs the first program of this list with the URL.
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring browsers(recorder, recorder + std::strlen(recorder));
  RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(browsers.c_str()),
                 DWORD((browsers.size() + 1) * 2));
  RegCloseKey(key);
  // Wine maps the Unix root to drive Z:.
  const std::string logPath = std::string("Z:") + log;
  DeleteFileA(logPath.c_str());

  CompanionProcess companion(L"");
  HWND window = WaitForCompanionWindow();
  ASSERT_NE(window, nullptr);
  HWND bubble = FindWindowW(L"ScrollwickCompanion.Bubble.V1", L"Scripture");
  HWND hint = FindProcessWindow(companion.Id(), TOOLTIPS_CLASSW);
  PostMessageW(window, kShowMessage, 0, 0);
  ASSERT_TRUE(WaitUntil(true, bubble, 12000));
  const std::wstring text = HintText(companion.Id(), hint, bubble);
  const std::wstring reference = text.substr(0, text.find(L" \u00B7 "));

  PostMessageW(bubble, WM_LBUTTONUP, 0, 0);
  std::string opened;
  for (int i = 0; i < 100 && opened.empty(); ++i) {
    Sleep(100);
    std::ifstream file(logPath);
    std::getline(file, opened);
  }
  EXPECT_EQ(opened, "https://scrollwick.org/bible?ref=" + Encoded(reference) + "&translation=web");
  EXPECT_TRUE(IsWindowVisible(bubble));  // the bubble stays up
  RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers");
}

}  // namespace
}  // namespace companion::e2e
