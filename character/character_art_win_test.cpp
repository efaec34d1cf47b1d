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

TEST(LoadAtlas, BrokenResourcesFailWithTheirMessages) {
  EXPECT_EQ(FailureOf([] { LoadAtlas(777); }), "Missing realistic character resource");
  EXPECT_EQ(FailureOf([] { LoadAtlas(900); }), "Invalid character PNG");
}

TEST(CharacterArt, ClipChangesReloadAndSwitchingFiguresDropsTheAtlasUntilTheNextDraw) {
  CharacterArt art;
  EnsureClip(art, 0);
  LoadedAtlas* loaded = art.atlas.get();
  EnsureClip(art, 0);
  EXPECT_EQ(art.atlas.get(), loaded);
  EnsureClip(art, 4);
  EXPECT_EQ(art.atlas->height, 14u * 190);
  SetYounger(art, true);
  EXPECT_EQ(art.atlas, nullptr);
  Gdiplus::Bitmap bitmap(kFrameWidth, kFrameHeight, PixelFormat32bppPARGB);
  Gdiplus::Graphics graphics(&bitmap);
  DrawClipFrame(art, graphics, 0);
  EXPECT_EQ(art.atlas->height, 4560u);  // the lamb's atlas, whatever the clip
  SetYounger(art, false);
  EXPECT_EQ(art.atlas, nullptr);
}

}  // namespace
}  // namespace companion
