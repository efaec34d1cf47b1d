#include "selftest/self_test_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/wide_win.h"
#include "character/character_art_win.h"
#include "base/desktop_surface_win.h"
#include "character/presentation_win.h"
#include "scripture/catalogue.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

// Broken art from the test resources: every frame the same picture, which alone passes the corner
// and coverage checks; the same with an opaque top-right corner; and with an opaque bottom-right.
constexpr int32_t kStillAtlas = 902;
constexpr int32_t kTopRightAtlas = 903;
constexpr int32_t kBottomRightAtlas = 904;

class SelfTestPhase : public ::testing::Test {
 protected:
  // The phases write their PNG files into the current folder: a folder of the test's own.
  void SetUp() override {
    GetCurrentDirectoryW(MAX_PATH, previousFolder_);
    ASSERT_TRUE(SetCurrentDirectoryW(AsWide(folder_.Path())));
    ResizeSurface(surface_, kFrameWidth, kFrameHeight);
  }
  void TearDown() override { SetCurrentDirectoryW(previousFolder_); }
  // The clip's own atlas replaced by one from the test resources.
  void UseAtlas(int32_t clip, int32_t resource, bool younger) {
    SetYounger(art_, younger);
    art_.clipIndex = clip;
    art_.atlas = LoadAtlas(resource);
  }

  testing::TempFolder folder_;
  wchar_t previousFolder_[MAX_PATH] = {};
  CharacterArt art_;
  DesktopSurface surface_;
};

// The real art passes every phase (the end-to-end run shows it); each broken atlas fails the
// phase that looks for its fault. The lamb's corners are top-left and bottom-right, so an opaque
// top-right corner gets as far as its still check, and an opaque bottom-right the full figure's.
TEST_F(SelfTestPhase, BrokenArtFailsThePhaseThatLooksForIt) {
  const struct {
    int32_t atlas, clip;
    bool younger;
    int32_t expected;
  } kCases[] = {
      {kTopRightAtlas, 2, false, kSelfTestFrameBroken},
      {kStillAtlas, 4, false, kSelfTestClipStill},
      {kStillAtlas, 0, true, kSelfTestYoungerClipStill},
      {kBottomRightAtlas, 0, true, kSelfTestYoungerFrameBroken},
      {kBottomRightAtlas, 1, false, kSelfTestClipStill},
  };
  for (const auto& c : kCases) {
    UseAtlas(c.clip, c.atlas, c.younger);
    EXPECT_EQ(
        c.younger ? CheckYoungerClip(art_, surface_) : CheckFullMotionClip(art_, surface_, c.clip),
        c.expected)
        << c.atlas << " " << c.clip;
  }
}

TEST_F(SelfTestPhase, TooTallVerseFailsBeforeTheBubbleIsWritten) {
  DeleteFileW(L"scripture-bubble.png");
  std::u16string sermon;
  for (int i = 0; i < 60; ++i)
    sermon += u"Blessed are the poor in spirit, for theirs is the kingdom. ";
  const std::vector<OfflineVerse> verses = {OfflineVerses[0],
                                            {u"Offline backup", u"Matthew 5", sermon.c_str()}};
  EXPECT_EQ(CheckSampleBubbles(surface_, verses), kSelfTestBubbleTooTall);
  EXPECT_EQ(GetFileAttributesW(L"scripture-bubble.png"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SelfTestPhase, OfflineChoiceThatRepeatsFails) {
  EXPECT_EQ(CheckOfflineChoice(OfflineVerses, ScriptureCategories), kSelfTestPassed);
  // A category that selects nothing.
  const std::vector<OfflineVerse> otherCategory = {{u"Psalms", u"Psalms 23:1", u"x"},
                                                   {u"Psalms", u"Psalms 46:1", u"y"}};
  EXPECT_EQ(CheckOfflineChoice(otherCategory, ScriptureCategories), kSelfTestOfflineChoiceBroken);
}

}  // namespace
}  // namespace companion
