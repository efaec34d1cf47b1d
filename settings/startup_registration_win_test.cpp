#include "settings/startup_registration_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/wide_win.h"
#include "tests/message_box_watcher_win.h"

namespace companion {
namespace {

constexpr char16_t kProgramWithSpaces[] =
    u"C:\\Program Files\\Scrollwick Companion\\ScrollwickCompanion.exe";

// With the terminating null.
std::vector<BYTE> StringBytes(const std::u16string& text) {
  const BYTE* first = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(first, first + (text.size() + 1) * sizeof(char16_t));
}

// A scratch Run key of the current user, removed with its values at the end.
class StartupRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = u"Software\\ScrollwickTests\\Run" +
           std::u16string(AsU16(std::to_wstring(GetCurrentProcessId()).c_str()));
    RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(key_));
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(key_)); }

  // The value when it is a REG_SZ, else "(none)".
  std::wstring ReadString() {
    wchar_t text[512] = L"(none)";
    DWORD size = sizeof(text);
    RegGetValueW(HKEY_CURRENT_USER, AsWide(key_), AsWide(kRunValueName), RRF_RT_REG_SZ, nullptr,
                 text, &size);
    return text;
  }

  std::u16string key_;
};

// Any string counts as on, so the toggle deletes it; no value, or one of another type, shows off
// and the toggle writes the quoted path as REG_SZ in its place.
TEST_F(StartupRegistration, ToggleFollowsTheExistingValue) {
  testing::MessageBoxWatcher watcher;
  const struct {
    DWORD type;
    std::vector<BYTE> bytes;
    bool shownOn;
  } kCases[] = {
      {REG_NONE, {}, false},  // not even the key exists yet
      {REG_SZ, {}, true},     // the value the first toggle wrote: the second deletes it
      {REG_SZ, StringBytes(u"\"D:\\Old copy\\ScrollwickCompanion.exe\" --preview"), true},
      {REG_DWORD, {1, 0, 0, 0}, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(&c - kCases);
    if (!c.bytes.empty()) {
      RegSetKeyValueW(HKEY_CURRENT_USER, AsWide(key_), AsWide(kRunValueName), c.type,
                      c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
    }
    EXPECT_EQ(IsStartWithWindowsAt(key_), c.shownOn);
    EXPECT_TRUE(ToggleStartWithWindowsAt(nullptr, key_, kProgramWithSpaces));
    EXPECT_EQ(ReadString(),
              c.shownOn ? L"(none)" : L"\"" + std::wstring(AsWide(kProgramWithSpaces)) + L"\"");
  }
  EXPECT_TRUE(watcher.Texts().empty());
}

// Registry key names are at most 255 characters long.
TEST_F(StartupRegistration, UncreatableKeyIsReportedAndWritesNothing) {
  testing::MessageBoxWatcher watcher;
  EXPECT_FALSE(ToggleStartWithWindowsAt(nullptr, key_ + u"\\" + std::u16string(300, u'x'),
                                        kProgramWithSpaces));
  EXPECT_EQ(watcher.Texts(),
            std::vector<std::wstring>{L"Windows could not update the startup preference."});
}

}  // namespace
}  // namespace companion
