// The bubble of the real program under Wine, with no Bible server reachable: an offline verse
// on request, its hint, its display time, the count in the preferences, closing and clicking.
#include "tests/e2e/companion_process_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace companion::e2e {
namespace {

constexpr uint32_t kShowMessage = 0x8003;

int ScripturesViewed() {
  return GetPrivateProfileIntW(L"Companion", L"ScripturesViewed", -1, PreferencesPath().c_str());
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

// A reference as the URL carries it: only spaces and colons need encoding.
std::string Encoded(const std::wstring& reference) {
  std::string out;
  for (wchar_t c : reference)
    out += c == L' ' ? "%20" : c == L':' ? "%3A" : std::string(1, static_cast<char>(c));
  return out;
}

class Bubble : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(L"ScrollwickCompanion.V1", nullptr), nullptr)
        << "a companion from an earlier test is still running";
    RemovePreferences();
    // Three seconds of display and no automatic Scriptures, so only the test's asks show.
    const std::wstring path = PreferencesPath();
    SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    WritePrivateProfileStringW(L"Companion", L"DisplaySeconds", L"3", path.c_str());
    WritePrivateProfileStringW(L"Companion", L"GapSeconds", L"0", path.c_str());
    WritePrivateProfileStringW(L"Companion", L"ScripturesViewed", L"4", path.c_str());
  }
  void TearDown() override {
    if (companion_) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
      companion_->WaitForExit();
    }
    // The short display time and the gap of 0 are for these tests only.
    RemovePreferences();
  }
  // Starts the companion and asks for a Scripture, which can only be an offline one.
  void StartAndAsk() {
    companion_ = std::make_unique<CompanionProcess>(L"");
    window_ = WaitForCompanionWindow();
    ASSERT_NE(window_, nullptr);
    bubble_ = FindWindowW(L"ScrollwickCompanion.Bubble.V1", L"Scripture");
    hint_ = FindProcessWindow(companion_->Id(), TOOLTIPS_CLASSW);
    ASSERT_NE(bubble_, nullptr);
    ASSERT_NE(hint_, nullptr);
    Ask();
  }
  void Ask() {
    PostMessageW(window_, kShowMessage, 0, 0);
    // The worker gives up at once without a server; collection waits at most two ticks.
    ASSERT_TRUE(BubbleShownWithin(true, 12000));
  }
  bool BubbleShownWithin(bool shown, DWORD timeoutMs) {
    return WaitUntil(timeoutMs, [&] { return (IsWindowVisible(bubble_) != FALSE) == shown; });
  }
  std::wstring Hint() { return HintText(companion_->Id(), hint_, bubble_); }

  std::unique_ptr<CompanionProcess> companion_;
  HWND window_ = nullptr, bubble_ = nullptr, hint_ = nullptr;
};

TEST_F(Bubble, OfflineVerseOnRequestThenHiddenAfterItsTime) {
  ASSERT_NO_FATAL_FAILURE(StartAndAsk());
  const std::wstring text = Hint();
  EXPECT_TRUE(text.ends_with(L" \u00B7 WEB (offline backup)")) << text.c_str();
  // The count, saved just after the bubble appears, began at 4.
  EXPECT_TRUE(WaitUntil(2000, [] { return ScripturesViewed() == 5; })) << ScripturesViewed();

  EXPECT_FALSE(BubbleShownWithin(false, 1500));  // still up well within its three seconds
  EXPECT_TRUE(BubbleShownWithin(false, 6000));

  ASSERT_NO_FATAL_FAILURE(Ask());
  EXPECT_TRUE(WaitUntil(2000, [] { return ScripturesViewed() == 6; })) << ScripturesViewed();
  SendMessageW(bubble_, WM_CLOSE, 0, 0);  // closing the bubble only puts it away
  EXPECT_FALSE(IsWindowVisible(bubble_));
  EXPECT_TRUE(IsWindow(bubble_));
  EXPECT_TRUE(companion_->Running());
}

TEST_F(Bubble, ClickOpensThePassagePage) {
  const char* recorder = std::getenv("SCROLLWICK_URL_RECORDER");
  const char* log = std::getenv("SCROLLWICK_URL_LOG");
  if (!recorder || !log) GTEST_SKIP() << "run through CTest, which provides the URL recorder";
  // Wine's browser launcher runs the first program of this list with the URL.
  const std::wstring browsers(recorder, recorder + std::strlen(recorder));
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers", REG_SZ,
                            browsers.c_str(), DWORD((browsers.size() + 1) * 2)),
            ERROR_SUCCESS);
  // Wine maps the Unix root to drive Z:.
  const std::string logPath = std::string("Z:") + log;
  DeleteFileA(logPath.c_str());

  ASSERT_NO_FATAL_FAILURE(StartAndAsk());
  const std::wstring text = Hint();
  const std::wstring reference = text.substr(0, text.find(L" \u00B7 "));

  PostMessageW(bubble_, WM_LBUTTONUP, 0, 0);
  std::string opened;
  WaitUntil(10000, [&] {
    std::ifstream file(logPath);
    return std::getline(file, opened) && !opened.empty();
  });
  EXPECT_EQ(opened, "https://scrollwick.org/bible?ref=" + Encoded(reference) + "&translation=web");
  EXPECT_TRUE(IsWindowVisible(bubble_));  // the bubble stays up
  RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers");
}

}  // namespace
}  // namespace companion::e2e
