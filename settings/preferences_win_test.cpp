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
  void WriteFile(const std::string& content) {
    CreateDirectoryW(AsWide(temp_.Path() + u"\\Scrollwick"), nullptr);
    CreateDirectoryW(AsWide(folder_), nullptr);
    WriteWholeFile(path_, "[Companion]\r\n" + content);
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

TEST_F(PreferencesFile, MissingFileGivesDefaultsAndCreatesFolders) {
  auto app = Load();
  EXPECT_EQ(app->preferencesFolder, folder_);
  EXPECT_EQ(app->preferencesPath, path_);
  EXPECT_NE(GetFileAttributesW(AsWide(folder_)), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(app->displaySeconds, 10);
  EXPECT_EQ(app->gapSeconds, 60);
  EXPECT_EQ(app->translationIndex, 0);
  EXPECT_EQ(app->sizeMultiple, 1);
  EXPECT_TRUE(app->movementEnabled);
  EXPECT_FALSE(app->paused);
  EXPECT_TRUE(app->characterArt.younger);
  EXPECT_FALSE(app->freePlacement);
  EXPECT_TRUE(app->monitorDevice.empty());
}

TEST_F(PreferencesFile, FirstSaveWritesFifteenKeysInOrder) {
  auto app = Load();
  SavePreferences(*app);
  EXPECT_FALSE(FileExists(path_ + u".tmp"));
  EXPECT_EQ(ReadWholeFile(path_),
            "[Companion]\r\nVersion=6\r\nDisplaySeconds=10\r\nGapSeconds=60\r\nTranslation=0\r\n"
            "SizeMultiple=1\r\nYoungerPreview=1\r\nScripturesViewed=0\r\nCategory=0\r\n"
            "PromptMinutes=0\r\nMovement=1\r\nPaused=0\r\nFreePlacement=0\r\nPositionX=0\r\n"
            "PositionY=0\r\nMonitor=\r\n");
}

TEST_F(PreferencesFile, OutOfRangeValuesAreBroughtIntoRange) {
  WriteFile(
      "DisplaySeconds=0\r\nGapSeconds=45\r\nTranslation=7\r\nSizeMultiple=9\r\n"
      "ScripturesViewed=80\r\nCategory=99\r\nPromptMinutes=45\r\nMovement=7\r\nPaused=abc\r\n");
  auto app = Load();
  EXPECT_EQ(app->displaySeconds, 1);
  EXPECT_EQ(app->gapSeconds, 60);
  EXPECT_EQ(app->translationIndex, 4);
  EXPECT_EQ(app->sizeMultiple, 3);
  EXPECT_EQ(app->scripturesViewed, 50);
  EXPECT_EQ(app->categoryIndex, 1);
  EXPECT_EQ(app->promptMinutes, 0);
  EXPECT_TRUE(app->movementEnabled);
  EXPECT_FALSE(app->paused);
}

TEST_F(PreferencesFile, NegativeValuesLoadSigned) {
  WriteFile("DisplaySeconds=-5\r\nTranslation=-1\r\nPositionX=-1900\r\nPositionY=-40\r\n");
  auto app = Load();
  EXPECT_EQ(app->displaySeconds, 1);
  EXPECT_EQ(app->translationIndex, 0);
  EXPECT_EQ(app->positionX, -1900);
  EXPECT_EQ(app->positionY, -40);
}

TEST_F(PreferencesFile, ValidValuesRoundTrip) {
  WriteFile(
      "DisplaySeconds=600\r\nGapSeconds=3600\r\nTranslation=3\r\nSizeMultiple=2\r\n"
      "PromptMinutes=120\r\nMovement=0\r\nPaused=1\r\nYoungerPreview=0\r\nFreePlacement=1\r\n"
      "PositionX=-1900\r\nPositionY=300\r\nMonitor=\\\\.\\DISPLAY2\r\n");
  auto app = Load();
  EXPECT_EQ(app->gapSeconds, 3600);
  EXPECT_EQ(app->promptMinutes, 120);
  EXPECT_FALSE(app->characterArt.younger);
  EXPECT_EQ(app->monitorDevice, u"\\\\.\\DISPLAY2");
  SavePreferences(*app);
  EXPECT_EQ(ReadWholeFile(path_),
            "[Companion]\r\nVersion=6\r\nDisplaySeconds=600\r\nGapSeconds=3600\r\nTranslation=3\r\n"
            "SizeMultiple=2\r\nYoungerPreview=0\r\nScripturesViewed=0\r\nCategory=0\r\n"
            "PromptMinutes=120\r\nMovement=0\r\nPaused=1\r\nFreePlacement=1\r\n"
            "PositionX=-1900\r\nPositionY=300\r\nMonitor=\\\\.\\DISPLAY2\r\n");
}

TEST_F(PreferencesFile, FallbackKeysSupplyDefaultsAndDisappearOnSave) {
  WriteFile("FreePosition=1\r\nDesktopX=100\r\nDesktopY=200\r\n");
  auto app = Load();
  EXPECT_TRUE(app->freePlacement);
  EXPECT_EQ(app->positionX, 100);
  EXPECT_EQ(app->positionY, 200);
  SavePreferences(*app);
  const std::string saved = ReadWholeFile(path_);
  EXPECT_NE(saved.find("FreePlacement=1\r\nPositionX=100\r\nPositionY=200\r\n"), std::string::npos);
  EXPECT_EQ(saved.find("FreePosition"), std::string::npos);
  EXPECT_EQ(saved.find("Desktop"), std::string::npos);
}

TEST_F(PreferencesFile, NewKeysWinOverFallbackKeys) {
  WriteFile("FreePosition=1\r\nFreePlacement=0\r\nDesktopX=100\r\nPositionX=5\r\n");
  auto app = Load();
  EXPECT_FALSE(app->freePlacement);
  EXPECT_EQ(app->positionX, 5);
}

TEST_F(PreferencesFile, GarbageFileGivesDefaults) {
  CreateDirectoryW(AsWide(temp_.Path() + u"\\Scrollwick"), nullptr);
  CreateDirectoryW(AsWide(folder_), nullptr);
  std::string junk;
  for (int i = 0; i < 4096; ++i)
    junk.push_back(char((i * 7919) % 256));
  WriteWholeFile(path_, junk);
  auto app = Load();
  EXPECT_EQ(app->displaySeconds, 10);
  EXPECT_EQ(app->gapSeconds, 60);
  EXPECT_TRUE(app->characterArt.younger);
  EXPECT_TRUE(app->movementEnabled);
}

TEST_F(PreferencesFile, FolderThatCannotBeCreatedGivesDefaultsAndASaveFailure) {
  // A file where the folder should be.
  WriteWholeFile(temp_.Path() + u"\\Scrollwick", "not a folder");
  auto app = Load();
  EXPECT_EQ(app->displaySeconds, 10);
  testing::MessageBoxWatcher watcher;
  SavePreferences(*app);
  EXPECT_TRUE(app->saveFailureReported);
  EXPECT_EQ(ReadWholeFile(temp_.Path() + u"\\Scrollwick"), "not a folder");
  EXPECT_EQ(watcher.Texts().size(), 1u);
}

TEST_F(PreferencesFile, LongMonitorNameIsCutTo127) {
  WriteFile("Monitor=" + std::string(200, 'M') + "\r\n");
  auto app = Load();
  EXPECT_EQ(app->monitorDevice, std::u16string(127, u'M'));
}

TEST_F(PreferencesFile, FailedMoveKeepsOldFileAndReportsOnce) {
  WriteFile("DisplaySeconds=42\r\n");
  auto app = Load();
  const std::string before = ReadWholeFile(path_);
  // A file held open without sharing, as another program might, cannot be replaced.
  HANDLE lock = CreateFileW(AsWide(path_), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  testing::MessageBoxWatcher watcher;
  app->displaySeconds = 77;
  SavePreferences(*app);
  SavePreferences(*app);
  CloseHandle(lock);
  EXPECT_EQ(ReadWholeFile(path_), before);
  EXPECT_EQ(app->displaySeconds, 77);
  EXPECT_TRUE(app->saveFailureReported);
  EXPECT_TRUE(FileExists(path_ + u".tmp"));
  const auto texts = watcher.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0],
            L"Preferences could not be saved locally. The companion will still work, but changes "
            L"may be lost when it exits.");
}

}  // namespace
}  // namespace companion
