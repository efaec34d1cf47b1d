#include "character/character_art_win.h"

#include <gdiplus.h>

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

// Elapsed time that lands on frame f at 24 frames per second.
uint64_t FrameTime(int32_t f) {
  return (uint64_t(f) * 1000 + 23) / 24;
}

// One frame's worth of drawing surface. The drawn pixels are checked through RenderCharacter.
struct Canvas {
  Gdiplus::Bitmap bitmap{kFrameWidth, kFrameHeight, PixelFormat32bppPARGB};
  Gdiplus::Graphics graphics{&bitmap};
};

TEST(LoadAtlas, DecodesEveryAtlasAtItsTableSize) {
  for (const MotionClip& clip : MotionClips) {
    auto atlas = LoadAtlas(clip.resourceId);
    ASSERT_NE(atlas->bitmap, nullptr);
    EXPECT_EQ(atlas->bitmap->GetWidth(), 2240u);
    EXPECT_EQ(atlas->bitmap->GetHeight(), UINT((clip.frameCount + 7) / 8 * 190));
  }
  EXPECT_EQ(LoadAtlas(YoungerClip.resourceId)->bitmap->GetHeight(), 4560u);
}

TEST(LoadAtlas, BrokenResourcesFailWithTheirMessages) {
  EXPECT_EQ(FailureOf([] { LoadAtlas(777); }), "Missing realistic character resource");
  EXPECT_EQ(FailureOf([] { LoadAtlas(900); }), "Invalid character PNG");
}

TEST(CharacterArt, ClipChangesReloadAndSwitchingFiguresDropsTheAtlasUntilTheNextDraw) {
  CharacterArt art;
  EnsureClip(art, 0);
  LoadedAtlas* loaded = art.atlas.get();
  ASSERT_NE(loaded, nullptr);
  EnsureClip(art, 0);
  EXPECT_EQ(art.atlas.get(), loaded);
  EnsureClip(art, 4);
  EXPECT_EQ(art.atlas->bitmap->GetHeight(), 14u * 190);

  SetYounger(art, true);
  EXPECT_EQ(art.atlas, nullptr);
  EXPECT_EQ(ClipDurationMs(art), 8000u);
  Canvas canvas;
  DrawClipFrame(art, canvas.graphics, 0);
  ASSERT_NE(art.atlas, nullptr);
  EXPECT_EQ(art.atlas->bitmap->GetHeight(), 4560u);  // the lamb's atlas, whatever the clip
  SetYounger(art, false);
  EXPECT_EQ(art.atlas, nullptr);
  EXPECT_EQ(ClipDurationMs(art), 4500u);
}

TEST(DrawClipFrame, ShortAtlasDrawsFramesInsideAndRefusesTheRest) {
  CharacterArt art;
  art.atlas = LoadAtlas(901);
  Canvas canvas;
  EXPECT_EQ(FailureOf([&] { DrawClipFrame(art, canvas.graphics, FrameTime(31)); }), "");
  EXPECT_EQ(FailureOf([&] { DrawClipFrame(art, canvas.graphics, FrameTime(32)); }),
            "Motion frame outside atlas");
}

}  // namespace
}  // namespace companion
