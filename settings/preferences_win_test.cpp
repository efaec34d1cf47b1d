#include "settings/preferences_win.h"

#include <gtest/gtest.h>

#include "app/companion_app_win.h"
#include "app/wide_win.h"
#include "tests/message_box_watcher_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

using testing::FileExists;
using testing::ReadWholeFile;
using testing::WriteWholeFile;

class PreferencesFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = temp_.Path() + u"\\Scrollwick\\Companion";
    path_ = folder_ + u"\\preferences.ini";
  }
  // Leaves exactly these bytes as the preferences file.
  void WriteFile(const std::string& bytes) {
    CreateDirectoryW(AsWide(temp_.Path() + u"\\Scrollwick"), nullptr);
    CreateDirectoryW(AsWide(folder_), nullptr);
    WriteWholeFile(path_, bytes);
  }
  std::unique_ptr<CompanionApp> Load() {
    auto app = std::make_unique<CompanionApp>();
    LoadPreferencesFrom(*app, temp_.Path());
    return app;
  }

  testing::TempFolder temp_;
  std::u16string folder_;
  std::u16string path_;
};

TEST_F(PreferencesFile, WithoutAFileTheFoldersAreCreatedAndTheFirstSaveWritesFifteenKeys) {
  SavePreferences(*Load());
  EXPECT_EQ(ReadWholeFile(path_),
            "[Companion]\r\nVersion=6\r\nDisplaySeconds=10\r\nGapSeconds=60\r\nTranslation=0\r\n"
            "SizeMultiple=1\r\nYoungerPreview=1\r\nScripturesViewed=0\r\nCategory=0\r\n"
            "PromptMinutes=0\r\nMovement=1\r\nPaused=0\r\nFreePlacement=0\r\nPositionX=0\r\n"
            "PositionY=0\r\nMonitor=\r\n");
}

// Every key is read, signed, and written back in its place.
TEST_F(PreferencesFile, ValidValuesRoundTrip) {
  WriteFile(
      "[Companion]\r\nDisplaySeconds=600\r\nGapSeconds=3600\r\nTranslation=3\r\nSizeMultiple=2\r\n"
      "PromptMinutes=120\r\nMovement=0\r\nPaused=1\r\nYoungerPreview=0\r\nFreePlacement=1\r\n"
      "PositionX=-1900\r\nPositionY=300\r\nMonitor=\\\\.\\DISPLAY2\r\n");
  SavePreferences(*Load());
  EXPECT_EQ(ReadWholeFile(path_),
            "[Companion]\r\nVersion=6\r\nDisplaySeconds=600\r\nGapSeconds=3600\r\nTranslation=3\r\n"
            "SizeMultiple=2\r\nYoungerPreview=0\r\nScripturesViewed=0\r\nCategory=0\r\n"
            "PromptMinutes=120\r\nMovement=0\r\nPaused=1\r\nFreePlacement=1\r\n"
            "PositionX=-1900\r\nPositionY=300\r\nMonitor=\\\\.\\DISPLAY2\r\n");
}

// Older files named the free position differently; the new keys win where both are present.
TEST_F(PreferencesFile, FallbackKeysSupplyDefaultsAndDisappearOnSave) {
  WriteFile("[Companion]\r\nFreePosition=1\r\nDesktopX=100\r\nDesktopY=200\r\nPositionY=7\r\n");
  SavePreferences(*Load());
  const std::string saved = ReadWholeFile(path_);
  EXPECT_NE(saved.find("FreePlacement=1\r\nPositionX=100\r\nPositionY=7\r\n"), std::string::npos);
  EXPECT_EQ(saved.find("Desktop"), std::string::npos);
}

TEST_F(PreferencesFile, FolderThatCannotBeCreatedGivesASaveFailure) {
  WriteWholeFile(temp_.Path() + u"\\Scrollwick", "a file where the folder should be");
  auto app = Load();
  testing::MessageBoxWatcher watcher;
  SavePreferences(*app);
  EXPECT_EQ(ReadWholeFile(temp_.Path() + u"\\Scrollwick"), "a file where the folder should be");
  EXPECT_EQ(watcher.Texts().size(), 1u);
}

TEST_F(PreferencesFile, FailedMoveKeepsOldFileAndReportsOnce) {
  WriteFile("[Companion]\r\nDisplaySeconds=42\r\n");
  auto app = Load();
  // A file held open without sharing, as another program might, cannot be replaced.
  HANDLE lock = CreateFileW(AsWide(path_), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  testing::MessageBoxWatcher watcher;
  app->displaySeconds = 77;
  SavePreferences(*app);
  SavePreferences(*app);
  CloseHandle(lock);
  EXPECT_EQ(ReadWholeFile(path_), "[Companion]\r\nDisplaySeconds=42\r\n");
  EXPECT_TRUE(FileExists(path_ + u".tmp"));
  EXPECT_EQ(watcher.Texts(), std::vector<std::wstring>{L"Preferences could not be saved locally. "
                                                       L"The companion will still work, but "
                                                       L"changes may be lost when it exits."});
}

}  // namespace
}  // namespace companion
