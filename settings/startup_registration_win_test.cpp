#include "settings/startup_registration_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/wide_win.h"
#include "tests/message_box_watcher_win.h"

namespace companion {
namespace {

constexpr char16_t kProgramWithSpaces[] =
    u"C:\\Program Files\\Scrollwick Companion\\ScrollwickCompanion.exe";

// A scratch Run key of the current user, removed with its values at the end.
class StartupRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = u"Software\\ScrollwickTests\\Run" +
           std::u16string(AsU16(std::to_wstring(GetCurrentProcessId()).c_str()));
    RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(key_));
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(key_)); }

  void SetValue(DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AsWide(key_), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExW(key, AsWide(kRunValueName), 0, type, static_cast<const BYTE*>(data), bytes),
        ERROR_SUCCESS);
    RegCloseKey(key);
  }

  struct Stored {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
  };
  Stored Read() {
    Stored stored;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, AsWide(key_), AsWide(kRunValueName),
                     RRF_RT_ANY | RRF_NOEXPAND, &stored.type, nullptr, &size) != ERROR_SUCCESS) {
      return stored;
    }
    stored.present = true;
    stored.bytes.resize(size);
    RegGetValueW(HKEY_CURRENT_USER, AsWide(key_), AsWide(kRunValueName), RRF_RT_ANY | RRF_NOEXPAND,
                 &stored.type, stored.bytes.data(), &size);
    return stored;
  }

  // The bytes of a REG_SZ value holding `text` with its terminating null.
  static std::vector<BYTE> StringBytes(const std::u16string& text) {
    const BYTE* first = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(first, first + (text.size() + 1) * sizeof(char16_t));
  }

  std::u16string key_;
};

TEST_F(StartupRegistration, MissingKeyShowsOff) {
  EXPECT_FALSE(IsStartWithWindowsAt(key_));
}

TEST_F(StartupRegistration, FirstToggleWritesTheQuotedPathSecondDeletesIt) {
  testing::MessageBoxWatcher watcher;
  EXPECT_TRUE(ToggleStartWithWindowsAt(nullptr, key_, kProgramWithSpaces));
  const Stored written = Read();
  ASSERT_TRUE(written.present);
  EXPECT_EQ(written.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(written.bytes, StringBytes(u"\"" + std::u16string(kProgramWithSpaces) + u"\""));
  EXPECT_TRUE(IsStartWithWindowsAt(key_));

  EXPECT_TRUE(ToggleStartWithWindowsAt(nullptr, key_, kProgramWithSpaces));
  EXPECT_FALSE(Read().present);
  EXPECT_FALSE(IsStartWithWindowsAt(key_));
  EXPECT_TRUE(watcher.Texts().empty());
}

TEST_F(StartupRegistration, AnyStringValueCountsAsOnAndIsDeleted) {
  const std::u16string other = u"\"D:\\Old copy\\ScrollwickCompanion.exe\" --preview";
  SetValue(REG_SZ, other.c_str(), static_cast<DWORD>((other.size() + 1) * 2));
  EXPECT_TRUE(IsStartWithWindowsAt(key_));
  EXPECT_TRUE(ToggleStartWithWindowsAt(nullptr, key_, kProgramWithSpaces));
  EXPECT_FALSE(Read().present);
}

TEST_F(StartupRegistration, ValuesOfOtherTypesShowOffAndAreOverwrittenAsString) {
  const std::u16string expanded = u"%ProgramFiles%\\Scrollwick\\ScrollwickCompanion.exe";
  const DWORD number = 1;
  struct Case {
    DWORD type;
    const void* data;
    DWORD bytes;
  };
  const Case kCases[] = {
      {REG_EXPAND_SZ, expanded.c_str(), static_cast<DWORD>((expanded.size() + 1) * 2)},
      {REG_DWORD, &number, sizeof(number)},
  };
  for (const Case& c : kCases) {
    SetValue(c.type, c.data, c.bytes);
    EXPECT_FALSE(IsStartWithWindowsAt(key_)) << c.type;
    EXPECT_TRUE(ToggleStartWithWindowsAt(nullptr, key_, kProgramWithSpaces));
    const Stored written = Read();
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_SZ)) << c.type;
    EXPECT_EQ(written.bytes, StringBytes(u"\"" + std::u16string(kProgramWithSpaces) + u"\""));
    EXPECT_TRUE(IsStartWithWindowsAt(key_));
  }
}

TEST_F(StartupRegistration, UnknownProgramPathIsReportedAndWritesNothing) {
  testing::MessageBoxWatcher watcher;
  EXPECT_FALSE(ToggleStartWithWindowsAt(nullptr, key_, u""));
  EXPECT_FALSE(Read().present);
  EXPECT_EQ(watcher.Texts(),
            std::vector<std::wstring>{L"Windows could not update the startup preference."});
}

TEST_F(StartupRegistration, KeyThatCannotBeCreatedIsReported) {
  testing::MessageBoxWatcher watcher;
  // Registry key names are at most 255 characters long.
  const std::u16string tooLong = key_ + u"\\" + std::u16string(300, u'x');
  EXPECT_FALSE(ToggleStartWithWindowsAt(nullptr, tooLong, kProgramWithSpaces));
  EXPECT_FALSE(IsStartWithWindowsAt(tooLong));
  EXPECT_EQ(watcher.Texts(),
            std::vector<std::wstring>{L"Windows could not update the startup preference."});
}

TEST(ModuleFileName, IsTheFullPathOfTheRunningProgram) {
  const std::u16string path = ModuleFileName();
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(path[1], u':');
  EXPECT_EQ(path.substr(path.size() - 4), u".exe");
  EXPECT_NE(GetFileAttributesW(AsWide(path)), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace companion
