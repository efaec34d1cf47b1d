#include "character/presentation_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "tests/live_companion_win.h"

namespace companion {
namespace {

// Row 0 is the top row, blue first (a bottom-up DIB stands the figure on its head). A retry at a
// failed size used to keep a device context without pixels, and drawing then wrote through null.
TEST(ResizeSurface, ANewSizeIsATopDownDibAndAFailedOneLeavesNothingHalfMade) {
  DesktopSurface surface;
  ResizeSurface(surface, 105, 71);
  ResizeSurface(surface, 315, 213);
  const uint8_t opaqueRed[] = {0, 0, 255, 255};
  std::memcpy(surface.pixels, opaqueRed, 4);
  GdiFlush();
  EXPECT_EQ(GetPixel(surface.memoryDc, 0, 0), RGB(255, 0, 0));
  for (int attempt = 0; attempt < 3; ++attempt) {  // 4 GiB of pixels twice, then a drawing
    try {
      if (attempt < 2) ResizeSurface(surface, 0x8000, 0x8000);
      if (attempt == 2) SurfaceCanvas canvas(surface);
      ADD_FAILURE() << attempt;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Cannot allocate desktop surface") << attempt;
    }
    EXPECT_TRUE(!surface.memoryDc && !surface.dib && !surface.pixels) << attempt;
  }
}

// A replay of a kept frame copies the bytes DrawClipFrame drew, at every size; once the whole clip
// is kept its atlas is let go. PushLayeredFrame is covered through RenderCharacter.
TEST(RenderCharacter, KeptFramesAreTheDirectDrawingAndAFailedPushIsReported) {
  testing::LiveCompanion live;
  CompanionApp& app = live.app();
  const auto render = [&app](float scale, uint64_t elapsed) {
    app.placement.characterScale = scale;
    ResizeSurface(app.figure.characterSurface, int32_t(280 * scale), int32_t(190 * scale));
    RenderCharacter(app, app.motion.motionStartTick + elapsed);
  };
  for (const float scale : {0.375f, 1.125f}) {
    for (uint64_t frame = 0; frame < 60; ++frame)
      render(scale, (frame * 1000 + 23) / 24);
    EXPECT_EQ(app.figure.characterArt.atlas, nullptr) << scale;
    render(scale, 2499);
    const DesktopSurface& shown = app.figure.characterSurface;
    DesktopSurface direct;
    ResizeSurface(direct, shown.width, shown.height);
    DrawClipFrame(app.figure.characterArt, SurfaceCanvas(direct, scale).graphics(), 2499);
    const size_t bytes = size_t(shown.width) * size_t(shown.height) * 4;
    EXPECT_EQ(std::memcmp(shown.pixels, direct.pixels, bytes), 0) << scale;
  }
  SetWindowLongPtrW(app.shell.companionWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW);  // not layered
  try {
    render(0.375f, 0);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Windows could not display the transparent character");
  }
}

}  // namespace
}  // namespace companion
