#include "character/presentation_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "base/companion_app_win.h"
#include "tests/live_companion_win.h"

namespace companion {
namespace {

// Row 0 of the pixels is the top row, blue first: a bottom-up DIB would stand the figure on its
// head.
TEST(ResizeSurface, ANewSizeSelectsATopDownDib) {
  DesktopSurface surface;
  ResizeSurface(surface, 105, 71);
  ResizeSurface(surface, 315, 213);
  ASSERT_NE(surface.pixels, nullptr);
  const uint8_t opaqueRed[] = {0, 0, 255, 255};
  std::memcpy(surface.pixels, opaqueRed, 4);
  GdiFlush();
  EXPECT_EQ(GetPixel(surface.memoryDc, 0, 0), RGB(255, 0, 0));
}

// A retry at the failed size used to return early with a device context but no pixels, and the
// bubble's drawing then wrote through null.
TEST(ResizeSurface, FailedAllocationLeavesNothingHalfMadeAndDrawingFailsAlike) {
  DesktopSurface surface;
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

// A real companion window; PushLayeredFrame is covered through RenderCharacter.
class RenderCharacterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.placement.currentMonitor.info.rcMonitor = {0, 0, 1920, 1080};
    app_.placement.currentMonitor.info.rcWork = {0, 0, 1920, 1040};
    app_.figure.characterArt.younger = false;
    app_.preferences.positionX = 500;
    app_.preferences.positionY = 1040 - 9 - 213;
  }
  void Render(float scale, MotionState state, uint64_t elapsed) {
    app_.placement.characterScale = scale;
    ResizeSurface(app_.figure.characterSurface, int32_t(280 * scale), int32_t(190 * scale));
    app_.motion.motionState = state;
    app_.motion.motionStartTick = 100000;
    RenderCharacter(app_, 100000 + elapsed);
  }

  testing::LiveCompanion live_;
  CompanionApp& app_ = live_.app();
};

TEST_F(RenderCharacterTest, AFailedPushIsReported) {
  SetWindowLongPtrW(app_.shell.companionWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW);  // not layered
  try {
    Render(0.375f, MotionState::Idle, 0);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Windows could not display the transparent character");
  }
}

// A kept frame is the very drawing: a replay copies the bytes DrawClipFrame drew, at every size,
// and once the whole clip is kept its decoded atlas is let go.
TEST_F(RenderCharacterTest, KeptFramesAreTheDirectDrawingAndReleaseTheAtlas) {
  for (const float scale : {0.375f, 1.125f}) {
    for (uint64_t frame = 0; frame < 60; ++frame) {
      Render(scale, MotionState::Idle, (frame * 1000 + 23) / 24);
    }
    EXPECT_EQ(app_.figure.characterArt.atlas, nullptr) << scale;
    const DesktopSurface& shown = app_.figure.characterSurface;
    const size_t bytes = size_t(shown.width) * size_t(shown.height) * 4;
    for (const uint64_t elapsed : {0u, 2499u}) {
      Render(scale, MotionState::Idle, elapsed);
      DesktopSurface direct;
      ResizeSurface(direct, shown.width, shown.height);
      {
        SurfaceCanvas canvas(direct, scale);
        DrawClipFrame(app_.figure.characterArt, canvas.graphics(), elapsed);
      }
      EXPECT_EQ(std::memcmp(shown.pixels, direct.pixels, bytes), 0) << scale << " " << elapsed;
    }
  }
}

}  // namespace
}  // namespace companion
