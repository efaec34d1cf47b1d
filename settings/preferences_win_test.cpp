#include "settings/preferences_win.h"

#include <gtest/gtest.h>

#include "base/companion_app_win.h"
#include "base/wide_win.h"
#include "tests/message_box_watcher_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

constexpr wchar_t kSaveFailureText[] =
    L"Preferences could not be saved locally. The companion will still work, but changes may be "
    L"lost when it exits.";

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

// Every key is read, signed, and written back in its place; the first save makes the folders.
TEST_F(PreferencesFile, ValidValuesRoundTrip) {
  SavePreferences(*Load());
  EXPECT_TRUE(ReadWholeFile(path_).starts_with("[Companion]\r\nVersion=6\r\n"));
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

// Whatever lies where the file should be, loading keeps every value it can read, and a save then
// either leaves a complete file holding them or, when the file cannot be replaced (a folder, a
// file another program holds open without sharing), leaves what was there and says so once.
TEST_F(PreferencesFile, BadFilesKeepEveryValueThatCanBeRead) {
  const std::string valid = "\r\n[Companion]\r\nDisplaySeconds=42\r\nPositionX=-1900\r\n";
  std::string garbage(65536, '\0');
  uint32_t state = 12345;
  for (char& c : garbage)
    c = static_cast<char>((state = state * 1103515245 + 12345) >> 24);
  struct Case {
    const char* name;
    std::string bytes;  // the file, or a folder in its place when empty
    DWORD attributes;   // FILE_ATTRIBUTE_DEVICE here: held open without sharing
    int32_t displaySeconds, positionX, translationIndex;
  };
  const Case kCases[] = {
      {"binary garbage", "\x01" + garbage, 0, 10, 0, 0},
      {"garbage around valid lines", "\x01" + garbage + valid + garbage, 0, 42, -1900, 0},
      {"100 MB", valid + std::string(100 << 20, 'x'), 0, 42, -1900, 0},
      {"a folder", "", 0, 10, 0, 0},
      {"read-only", valid, FILE_ATTRIBUTE_READONLY, 42, -1900, 0},
      {"locked", valid, FILE_ATTRIBUTE_DEVICE, 42, -1900, 0},
      {"out of range", "[Companion]\r\nDisplaySeconds=601\r\nTranslation=7\r\nPositionX=-1900\r\n",
       0, 600, -1900, 4},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(AsWide(path_ + u".tmp"));
    SetFileAttributesW(AsWide(path_), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(AsWide(path_));
    RemoveDirectoryW(AsWide(path_));
    if (c.bytes.empty()) {
      WriteFile("");
      DeleteFileW(AsWide(path_));
      CreateDirectoryW(AsWide(path_), nullptr);
    } else {
      WriteFile(c.bytes);
    }
    if (c.attributes == FILE_ATTRIBUTE_READONLY) SetFileAttributesW(AsWide(path_), c.attributes);
    auto app = Load();
    HANDLE lock =
        c.attributes == FILE_ATTRIBUTE_DEVICE
            ? CreateFileW(AsWide(path_), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
            : INVALID_HANDLE_VALUE;
    EXPECT_EQ(app->preferences.displaySeconds, c.displaySeconds);
    EXPECT_EQ(app->preferences.positionX, c.positionX);
    EXPECT_EQ(app->preferences.translationIndex, c.translationIndex);
    testing::MessageBoxWatcher watcher;
    app->preferences.sizeMultiple = 2;
    SavePreferences(*app);
    SavePreferences(*app);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    // Windows refuses to replace a read-only file; Wine replaces it. Either way nothing is lost.
    const bool kept = c.bytes.empty()
                          ? (GetFileAttributesW(AsWide(path_)) & FILE_ATTRIBUTE_DIRECTORY) != 0
                          : ReadWholeFile(path_) == c.bytes;
    EXPECT_EQ(watcher.Texts(),
              kept ? std::vector<std::wstring>{kSaveFailureText} : std::vector<std::wstring>{});
    if (!kept) {
      EXPECT_EQ(Load()->preferences.displaySeconds, c.displaySeconds);
      EXPECT_EQ(Load()->preferences.positionX, c.positionX);
    }
  }
  SetFileAttributesW(AsWide(path_), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace companion
