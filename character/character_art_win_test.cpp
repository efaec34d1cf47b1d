#include "character/character_art_win.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace companion {
namespace {

std::string FailureOf(auto&& action) {
  try {
    action();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "";
}

MotionClip IdleFrom(int32_t resourceId) {
  MotionClip clip = MotionClips[0];
  clip.resourceId = resourceId;
  return clip;
}

// A short atlas (901) keeps the frames it has and fails only past them.
TEST(LoadAtlas, BrokenResourcesFailWithTheirMessages) {
  EXPECT_EQ(FailureOf([] { LoadAtlas(IdleFrom(777)); }), "Missing realistic character resource");
  EXPECT_EQ(FailureOf([] { LoadAtlas(IdleFrom(900)); }), "Invalid character PNG");
  CharacterArt art{LoadAtlas(IdleFrom(901)), {}, 0, false};
  DesktopSurface surface;
  ResizeSurface(surface, kFrameWidth, kFrameHeight);
  DrawClipFrame(art, surface, 1.0f, 1300);  // frame 31, the last of row 3
  EXPECT_EQ(FailureOf([&] { DrawClipFrame(art, surface, 1.0f, 1350); }),
            "Motion frame outside atlas");
}

TEST(CharacterArt, ClipChangesReloadAndSwitchingFiguresDropsTheAtlasUntilTheNextDraw) {
  CharacterArt art;
  EnsureClip(art, 0);
  LoadedAtlas* loaded = art.atlas.get();
  EnsureClip(art, 0);
  EXPECT_EQ(art.atlas.get(), loaded);
  EnsureClip(art, 4);
  EXPECT_EQ(art.atlas->atlasHeight, 14 * 190);
  SetYounger(art, true);
  EXPECT_EQ(art.atlas, nullptr);
  DesktopSurface surface;
  ResizeSurface(surface, kFrameWidth, kFrameHeight);
  DrawClipFrame(art, surface, 1.0f, 0);
  EXPECT_EQ(art.atlas->atlasHeight, 4560);  // the lamb's atlas, whatever the clip
  SetYounger(art, false);
  EXPECT_EQ(art.atlas, nullptr);
}

}  // namespace
}  // namespace companion
