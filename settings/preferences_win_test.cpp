#include "settings/preferences_win.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/companion_app_win.h"
#include "base/wide_win.h"
#include "tests/message_box_watcher_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

constexpr wchar_t kSaveFailureText[] =
    L"Preferences could not be saved locally. The companion will still work, but changes may be "
    L"lost when it exits.";

class PreferencesFile : public ::testing::Test {
 protected:
  std::unique_ptr<CompanionApp> Load() {
    auto app = std::make_unique<CompanionApp>();
    LoadPreferencesFrom(*app, temp_.Path());
    return app;
  }

  testing::TempFolder temp_;
  const std::u16string path_ = temp_.Path() + u"\\Scrollwick\\Companion\\preferences.ini";
};

// Every key is read, signed, and written back in its place; a save makes the folders unless a
// file stands in their way. Older files named the free position differently; the new keys win.
TEST_F(PreferencesFile, ValidValuesAndFallbackKeysRoundTrip) {
  testing::WriteWholeFile(temp_.Path() + u"\\Scrollwick", "a file where the folder should be");
  testing::MessageBoxWatcher watcher;
  SavePreferences(*Load());
  EXPECT_EQ(watcher.Texts(), std::vector<std::wstring>{kSaveFailureText});
  DeleteFileW(AsWide(temp_.Path() + u"\\Scrollwick"));
  SavePreferences(*Load());
  testing::WriteWholeFile(
      path_,
      "[Companion]\r\nDisplaySeconds=600\r\nGapSeconds=3600\r\nTranslation=3\r\nSizeMultiple=2\r\n"
      "PromptMinutes=120\r\nMovement=0\r\nPaused=1\r\nFreePosition=0\r\nFreePlacement=1\r\n"
      "YoungerPreview=0\r\nDesktopX=-1900\r\nPositionY=300\r\nMonitor=\\\\.\\DISPLAY2\r\n");
  SavePreferences(*Load());
  EXPECT_EQ(testing::ReadWholeFile(path_),
            "[Companion]\r\nVersion=6\r\nDisplaySeconds=600\r\nGapSeconds=3600\r\nTranslation=3\r\n"
            "SizeMultiple=2\r\nYoungerPreview=0\r\nScripturesViewed=0\r\nCategory=0\r\n"
            "PromptMinutes=120\r\nMovement=0\r\nPaused=1\r\nFreePlacement=1\r\n"
            "PositionX=-1900\r\nPositionY=300\r\nMonitor=\\\\.\\DISPLAY2\r\n");
}

// Loading keeps every value it can read; a save leaves a complete file holding them, or, when the
// file cannot be replaced (a folder, a file held open), leaves what was there and says so once.
TEST_F(PreferencesFile, BadFilesKeepEveryValueThatCanBeRead) {
  const std::string valid = "\r\n[Companion]\r\nDisplaySeconds=42\r\nPositionX=-1900\r\n";
  std::string garbage;
  for (uint32_t state = 12345; garbage.size() < 65536; state = state * 1103515245 + 12345)
    garbage += static_cast<char>(state >> 24);
  struct Case {
    std::string bytes;  // the file, or a folder in its place when empty
    DWORD attributes;   // FILE_ATTRIBUTE_DEVICE here: held open without sharing
    std::tuple<int32_t, int32_t, int32_t> values;  // display seconds, x, translation
  };
  const Case kCases[] = {
      {"\x01" + garbage + valid + garbage, 0, {42, -1900, 0}},
      {valid + std::string(100 << 20, 'x'), 0, {42, -1900, 0}},
      {valid, FILE_ATTRIBUTE_DEVICE, {42, -1900, 0}},
      {"[Companion]\r\nDisplaySeconds=601\r\nTranslation=7\r\nPositionX=-1900\r\n",
       0,
       {600, -1900, 4}},
      {valid, FILE_ATTRIBUTE_READONLY, {42, -1900, 0}},
      {"", 0, {10, 0, 0}},
  };
  const auto read = [](const auto& p) {
    return std::tuple(p.displaySeconds, p.positionX, p.translationIndex);
  };
  SavePreferences(*Load());  // the folders
  for (const Case& c : kCases) {
    SCOPED_TRACE(&c - kCases);
    SetFileAttributesW(AsWide(path_), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(AsWide(path_));
    if (c.bytes.empty()) CreateDirectoryW(AsWide(path_), nullptr);
    if (!c.bytes.empty()) testing::WriteWholeFile(path_, c.bytes);
    if (c.attributes == FILE_ATTRIBUTE_READONLY) SetFileAttributesW(AsWide(path_), c.attributes);
    auto app = Load();
    HANDLE lock =
        c.attributes == FILE_ATTRIBUTE_DEVICE
            ? CreateFileW(AsWide(path_), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
            : INVALID_HANDLE_VALUE;
    EXPECT_EQ(read(app->preferences), c.values);
    testing::MessageBoxWatcher watcher;
    SavePreferences(*app);
    SavePreferences(*app);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    // Windows refuses to replace a read-only file; Wine replaces it. Either way nothing is lost.
    const bool kept = testing::ReadWholeFile(path_) == c.bytes;  // a folder reads as empty
    EXPECT_EQ(watcher.Texts(),
              kept ? std::vector<std::wstring>{kSaveFailureText} : std::vector<std::wstring>{});
    EXPECT_TRUE(kept || read(Load()->preferences) == c.values);
  }
}

}  // namespace
}  // namespace companion
