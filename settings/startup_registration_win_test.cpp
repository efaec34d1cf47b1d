#include "settings/startup_registration_win.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/wide_win.h"
#include "tests/message_box_watcher_win.h"

namespace companion {
namespace {

constexpr char16_t kProgramWithSpaces[] =
    u"C:\\Program Files\\Scrollwick Companion\\ScrollwickCompanion.exe";

// A scratch Run key of the current user, removed with its values at the end.
class StartupRegistration : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(key_)); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(key_)); }

  std::u16string key_ = u"Software\\ScrollwickTests\\Run" +
                        std::u16string(AsU16(std::to_wstring(GetCurrentProcessId()).c_str()));
};

// Any string counts as on, so the toggle deletes it; no value, or one of another type, shows off
// and the toggle writes the quoted path as REG_SZ in its place. Only a failure tells the user.
TEST_F(StartupRegistration, ToggleFollowsTheExistingValueAndReportsAnUncreatableKey) {
  testing::MessageBoxWatcher watcher;
  // {type, value written first with its null (none when empty; u"\x01" is the DWORD 1), shown on}
  const std::tuple<DWORD, std::u16string, bool> kCases[] = {
      {REG_NONE, u"", false},  // not even the key exists yet
      {REG_SZ, u"", true},     // the value the first toggle wrote: the second deletes it
      {REG_SZ, u"\"D:\\Old copy\\ScrollwickCompanion.exe\" --preview", true},
      {REG_DWORD, u"\x01", false}};
  for (const auto& [type, value, shownOn] : kCases) {
    if (!value.empty()) {
      RegSetKeyValueW(HKEY_CURRENT_USER, AsWide(key_), AsWide(kRunValueName), type, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    }
    EXPECT_EQ(IsStartWithWindowsAt(key_), shownOn) << type;
    EXPECT_TRUE(ToggleStartWithWindowsAt(nullptr, key_, kProgramWithSpaces));
    wchar_t text[512] = L"(none)";
    DWORD size = sizeof(text);
    RegGetValueW(HKEY_CURRENT_USER, AsWide(key_), AsWide(kRunValueName), RRF_RT_REG_SZ, nullptr,
                 text, &size);
    EXPECT_EQ(text, shownOn ? L"(none)" : L"\"" + std::wstring(AsWide(kProgramWithSpaces)) + L"\"");
  }
  EXPECT_TRUE(watcher.Texts().empty());
  // Key names have at most 255 characters.
  EXPECT_FALSE(ToggleStartWithWindowsAt(nullptr, std::u16string(300, u'x'), kProgramWithSpaces));
  EXPECT_EQ(watcher.Texts(),
            std::vector<std::wstring>{L"Windows could not update the startup preference."});
}

}  // namespace
}  // namespace companion
