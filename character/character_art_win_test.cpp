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

struct Canvas {
  Gdiplus::Bitmap bitmap{kFrameWidth, kFrameHeight, PixelFormat32bppPARGB};
  int OpaquePixels() {
    int count = 0;
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x) {
        Gdiplus::Color c;
        bitmap.GetPixel(x, y, &c);
        if (c.GetA() >= 33) ++count;
      }
    }
    return count;
  }
  BYTE AlphaAt(int x, int y) {
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return c.GetA();
  }
};

TEST(LoadAtlas, DecodesEveryAtlasAtItsTableSize) {
  for (int32_t clip = 0; clip < 9; ++clip) {
    auto atlas = LoadAtlas(MotionClips[clip].resourceId);
    ASSERT_NE(atlas->bitmap, nullptr);
    EXPECT_EQ(atlas->bitmap->GetWidth(), 2240u);
    EXPECT_EQ(atlas->bitmap->GetHeight(), UINT((MotionClips[clip].frameCount + 7) / 8 * 190));
  }
  EXPECT_EQ(LoadAtlas(YoungerClip.resourceId)->bitmap->GetHeight(), 4560u);
}

TEST(LoadAtlas, BrokenResourcesFailWithTheirMessages) {
  EXPECT_EQ(FailureOf([] { LoadAtlas(777); }), "Missing realistic character resource");
  EXPECT_EQ(FailureOf([] { LoadAtlas(900); }), "Invalid character PNG");
}

TEST(CharacterArt, SwitchingFiguresDropsTheAtlasAndClipChangesReload) {
  CharacterArt art;
  EnsureClip(art, 3);
  LoadedAtlas* loaded = art.atlas.get();
  ASSERT_NE(loaded, nullptr);
  EnsureClip(art, 3);
  EXPECT_EQ(art.atlas.get(), loaded);

  SetYounger(art, true);
  EXPECT_EQ(art.atlas, nullptr);
  EXPECT_EQ(ClipDurationMs(art), 8000u);
  SetYounger(art, true);
  EnsureClip(art, 0);
  EXPECT_EQ(art.atlas->bitmap->GetHeight(), 4560u);  // the lamb's atlas, whatever the clip
  SetYounger(art, false);
  EXPECT_EQ(art.atlas, nullptr);
  EXPECT_EQ(ClipDurationMs(art), 2500u);
}

TEST(DrawClipFrame, LoadsLazilyAndDrawsTheFigure) {
  CharacterArt art;
  Canvas canvas;
  {
    Gdiplus::Graphics graphics(&canvas.bitmap);
    DrawClipFrame(art, graphics, 0);
  }
  EXPECT_NE(art.atlas, nullptr);
  EXPECT_EQ(canvas.AlphaAt(0, 0), 0);
  EXPECT_EQ(canvas.AlphaAt(279, 0), 0);
  EXPECT_GE(canvas.OpaquePixels(), 200);
}

TEST(DrawClipFrame, ShortAtlasDrawsFramesInsideAndRefusesTheRest) {
  CharacterArt art;
  art.atlas = LoadAtlas(901);
  Canvas canvas;
  Gdiplus::Graphics graphics(&canvas.bitmap);
  EXPECT_EQ(FailureOf([&] { DrawClipFrame(art, graphics, FrameTime(31)); }), "");
  EXPECT_EQ(FailureOf([&] { DrawClipFrame(art, graphics, FrameTime(32)); }),
            "Motion frame outside atlas");
  EXPECT_EQ(FailureOf([&] { DrawClipFrame(art, graphics, 1000000); }),
            "Motion frame outside atlas");
}

}  // namespace
}  // namespace companion
