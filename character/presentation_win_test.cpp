#include "character/presentation_win.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdlib>
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

// The figure's own filter stands in for GDI+'s high-quality bicubic drawing, which costs several
// times as much per frame: at every size, frames must look as GDI+ draws them, by the mean
// difference of a byte and the share of bytes off by more than 16. Wine's GDI+ draws its
// high-quality bicubic mode exactly as its bilinear one, without the smoothing Windows' applies
// when shrinking; at the smallest size, a reduction to 3/8, that alone differs by a mean of about
// 3, and the tolerance there is wider.
TEST(RenderCharacter, FramesLookAsGdiPlusDrawsThemAndAFailedPushIsReported) {
  testing::LiveCompanion live;
  CompanionApp& app = live.app();
  DesktopSurface frame;
  ResizeSurface(frame, kFrameWidth, kFrameHeight);
  const struct {
    float scale;
    double mean, share;
  } kTolerances[] = {{0.375f, 4.0, 0.06}, {0.75f, 1.0, 0.015}, {1.125f, 1.0, 0.01}};
  for (const auto& [scale, mean, share] : kTolerances) {
    for (const uint64_t elapsed : {uint64_t(0), uint64_t(1000), uint64_t(2499)}) {
      app.placement.characterScale = scale;
      DesktopSurface& shown = app.figure.characterSurface;
      ResizeSurface(shown, int32_t(280 * scale), int32_t(190 * scale));
      RenderCharacter(app, app.motion.motionStartTick + elapsed);
      DrawClipFrame(app.figure.characterArt, frame, 1.0f, elapsed);
      DesktopSurface direct;
      ResizeSurface(direct, shown.width, shown.height);
      {
        Gdiplus::Bitmap source(kFrameWidth, kFrameHeight, kFrameWidth * 4, PixelFormat32bppPARGB,
                               frame.pixels);
        SurfaceCanvas canvas(direct, scale);
        canvas.graphics().SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        canvas.graphics().DrawImage(&source, Gdiplus::Rect(0, 0, kFrameWidth, kFrameHeight), 0, 0,
                                    kFrameWidth, kFrameHeight, Gdiplus::UnitPixel);
      }
      const size_t bytes = size_t(shown.width) * size_t(shown.height) * 4;
      uint64_t total = 0;
      size_t distant = 0;
      for (size_t i = 0; i < bytes; ++i) {
        const int difference = std::abs(int(shown.pixels[i]) - int(direct.pixels[i]));
        total += uint64_t(difference);
        distant += difference > 16;
      }
      EXPECT_LE(double(total) / double(bytes), mean) << scale << " " << elapsed;
      EXPECT_LE(double(distant) / double(bytes), share) << scale << " " << elapsed;
    }
  }
  SetWindowLongPtrW(app.shell.companionWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW);  // not layered
  try {
    RenderCharacter(app, app.motion.motionStartTick);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Windows could not display the transparent character");
  }
}

}  // namespace
}  // namespace companion
