#include "selftest/self_test_win.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/wide_win.h"
#include "character/character_art_win.h"
#include "base/desktop_surface_win.h"
#include "scripture/catalogue.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

class SelfTestPhase : public ::testing::Test {
 protected:
  // The phases write their PNG files into the current folder: a folder of the test's own.
  void SetUp() override {
    GetCurrentDirectoryW(MAX_PATH, previousFolder_);
    ASSERT_TRUE(SetCurrentDirectoryW(AsWide(folder_.Path())));
    ResizeSurface(surface_, kFrameWidth, kFrameHeight);
  }
  void TearDown() override { SetCurrentDirectoryW(previousFolder_); }

  testing::TempFolder folder_;
  wchar_t previousFolder_[MAX_PATH] = {};
  DesktopSurface surface_;
};

// Test atlases: 902 every frame alike (alone it passes the corner and coverage checks); 903, 904
// add an opaque top-right, bottom-right corner (the lamb's own are top-left and bottom-right).
TEST_F(SelfTestPhase, BrokenArtFailsThePhaseThatLooksForIt) {
  const std::tuple<int32_t, int32_t, bool, int32_t> kCases[] = {
      {903, 2, false, kSelfTestFrameBroken},
      {902, 4, false, kSelfTestClipStill},
      {902, 0, true, kSelfTestYoungerClipStill},
      {904, 0, true, kSelfTestYoungerFrameBroken},
      {904, 1, false, kSelfTestClipStill}};
  for (const auto& [atlas, clip, younger, expected] : kCases) {
    MotionClip row = younger ? YoungerClip : MotionClips[clip];
    row.resourceId = atlas;
    CharacterArt art{LoadAtlas(row), {}, clip, younger};
    const int32_t phase =
        younger ? CheckYoungerClip(art, surface_) : CheckFullMotionClip(art, surface_, clip);
    EXPECT_EQ(phase, expected) << atlas << " " << clip;
  }
}

// Too tall a verse fails before its sample is written; a category selecting nothing fails too.
TEST_F(SelfTestPhase, BadVersesFailTheSampleBubblesAndTheOfflineChoice) {
  std::u16string sermon;
  for (int i = 0; i < 60; ++i)
    sermon += u"Blessed are the poor in spirit, for theirs is the kingdom. ";
  const std::vector<OfflineVerse> verses = {OfflineVerses[0], {u"", u"M", sermon.c_str()}};
  EXPECT_EQ(CheckSampleBubbles(surface_, verses), kSelfTestBubbleTooTall);
  EXPECT_EQ(GetFileAttributesW(L"scripture-bubble.png"), INVALID_FILE_ATTRIBUTES);
  const std::vector<OfflineVerse> psalms = {{u"Psalms", u"P 1", u"x"}, {u"Psalms", u"P 2", u"y"}};
  EXPECT_EQ(CheckOfflineChoice(psalms, ScriptureCategories), kSelfTestOfflineChoiceBroken);
  EXPECT_EQ(CheckOfflineChoice(OfflineVerses, ScriptureCategories), kSelfTestPassed);
}

}  // namespace
}  // namespace companion
