#include "settings/preferences_win.h"

#include <gtest/gtest.h>

#include <utility>

#include "base/companion_app_win.h"
#include "base/wide_win.h"
#include "tests/message_box_watcher_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

constexpr wchar_t kSaveFailureText[] =
    L"Preferences could not be saved locally. The companion will still work, but changes may be "
    L"lost when it exits.";

struct PreferencesFile : ::testing::Test {
  std::unique_ptr<CompanionApp> Load() {
    auto app = std::make_unique<CompanionApp>();
    LoadPreferencesFrom(*app, temp_.Path());
    return app;
  }

  testing::TempFolder temp_;
  const std::u16string path_ = temp_.Path() + u"\\Scrollwick\\Companion\\preferences.ini";
};

// Every key is read, checked, signed, and written back in its place; a save makes the folders.
// Older files named the free position differently; the new keys win.
TEST_F(PreferencesFile, ValidValuesAndFallbackKeysRoundTrip) {
  SavePreferences(*Load());
  testing::WriteWholeFile(
      path_,
      "[Companion]\r\nDisplaySeconds=601\r\nGapSeconds=3600\r\nTranslation=3\r\nSizeMultiple=2\r\n"
      "PromptMinutes=120\r\nMovement=0\r\nPaused=1\r\nFreePosition=0\r\nFreePlacement=1\r\n"
      "YoungerPreview=0\r\nDesktopX=-1900\r\nPositionY=300\r\nMonitor=\\\\.\\DISPLAY2\r\n");
  SavePreferences(*Load());
  EXPECT_EQ(testing::ReadWholeFile(path_),
            "[Companion]\r\nVersion=6\r\nDisplaySeconds=600\r\nGapSeconds=3600\r\nTranslation=3\r\n"
            "SizeMultiple=2\r\nYoungerPreview=0\r\nScripturesViewed=0\r\nCategory=0\r\n"
            "PromptMinutes=120\r\nMovement=0\r\nPaused=1\r\nFreePlacement=1\r\n"
            "PositionX=-1900\r\nPositionY=300\r\nMonitor=\\\\.\\DISPLAY2\r\n");
}

// Loading keeps every value it can read, from garbage or past a size bound; a save leaves a
// complete file holding them, or, when a folder stands in the file's place, says so once.
TEST_F(PreferencesFile, BadFilesKeepEveryValueThatCanBeRead) {
  const std::string valid = "\r\n[Companion]\r\nDisplaySeconds=42\r\nPositionX=-1900\r\n";
  std::string garbage;
  for (uint32_t state = 12345; garbage.size() < 65536; state = state * 1103515245 + 12345)
    garbage += static_cast<char>(state >> 24);
  const std::pair<std::string, std::pair<int32_t, int32_t>> kCases[] = {
      {"\x01" + garbage + valid + garbage, {42, -1900}},
      {valid + std::string(100 << 20, 'x'), {42, -1900}},
      {"", {10, 0}},  // a folder in the file's place
  };
  const auto read = [](const auto& p) { return std::pair(p.displaySeconds, p.positionX); };
  SavePreferences(*Load());  // the folders
  for (const auto& [bytes, values] : kCases) {
    SCOPED_TRACE(values.first);
    DeleteFileW(AsWide(path_));
    if (bytes.empty()) CreateDirectoryW(AsWide(path_), nullptr);
    if (!bytes.empty()) testing::WriteWholeFile(path_, bytes);
    auto app = Load();
    EXPECT_EQ(read(app->preferences), values);
    testing::MessageBoxWatcher watcher;
    SavePreferences(*app);
    SavePreferences(*app);
    const bool kept = testing::ReadWholeFile(path_) == bytes;  // a folder reads as empty
    EXPECT_EQ(watcher.Texts(),
              kept ? std::vector<std::wstring>{kSaveFailureText} : std::vector<std::wstring>{});
    EXPECT_EQ(read(Load()->preferences), values);
  }
}

}  // namespace
}  // namespace companion
