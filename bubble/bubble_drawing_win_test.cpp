#include "bubble/bubble_drawing_win.h"

#include <gtest/gtest.h>

#include "bubble/bubble_layout.h"
#include "bubble/bubble_test_support_win.h"
#include "character/presentation_win.h"

namespace companion {
namespace {

using testing::Pixel;
using testing::PixelAt;

std::u16string Words(int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i)
    text += u"Blessed are the merciful, for they shall obtain mercy. ";
  return text;
}

// The bounds themselves are tested natively; here the real font's measure reaches them.
TEST(MeasureBubbleText, GrowsWithTheTextToAtMost1060) {
  EXPECT_EQ(MeasureBubbleText(u""), 85);
  EXPECT_GT(MeasureBubbleText(Words(6)), MeasureBubbleText(Words(3)));
  const int32_t huge = MeasureBubbleText(Words(400));
  EXPECT_GT(huge, 900);
  EXPECT_LE(huge, 1060);
}

class DrawnBubble : public ::testing::Test {
 protected:
  // Draws at scale 1 into a 350 x height surface, as the bubble window does.
  void Draw(const std::u16string& body, int32_t height, float tailX, bool tailAtTop) {
    ResizeSurface(surface_, kBubbleUnitsWide, height);
    SurfaceCanvas canvas(surface_);
    DrawBubble(canvas.graphics(), body, height, tailX, tailAtTop);
  }
  bool IsWhite(int32_t x, int32_t y) {
    const Pixel p = PixelAt(surface_, x, y);
    return p.alpha == 255 && p.red == 255 && p.green == 255 && p.blue == 255;
  }
  bool IsTransparent(int32_t x, int32_t y) { return PixelAt(surface_, x, y).alpha == 0; }
  // The outline is a 1.6-unit pen, so somewhere in a box across an edge is its dark colour.
  bool OutlineIn(int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
    for (int32_t y = y0; y <= y1; ++y) {
      for (int32_t x = x0; x <= x1; ++x) {
        const Pixel p = PixelAt(surface_, x, y);
        if (p.alpha > 200 && p.red < 120 && p.green < 120 && p.blue < 120) return true;
      }
    }
    return false;
  }

  DesktopSurface surface_;
};

TEST_F(DrawnBubble, BodyOutlineTailAndClearOutside) {
  Draw(u"The Lord is my shepherd; I shall lack nothing.", 120, 100.0f, false);
  // Body from y 2 to 104, tail base at 103, tip at 118.
  EXPECT_TRUE(IsWhite(10, 60));
  EXPECT_TRUE(OutlineIn(0, 4, 60, 60));
  EXPECT_TRUE(OutlineIn(175, 175, 102, 106));
  EXPECT_TRUE(IsWhite(100, 103));  // the tail's base is not outlined: white runs on into it
  EXPECT_TRUE(IsWhite(100, 108));
  EXPECT_TRUE(IsTransparent(250, 112));
  EXPECT_TRUE(IsTransparent(0, 0));
}

TEST_F(DrawnBubble, TailAtTopPointsUp) {
  Draw(u"Rejoice always.", 85, 300.0f, true);
  // Body from y 16 to 83, tail base at 17, tip at 2.
  EXPECT_TRUE(IsWhite(300, 10));
  EXPECT_TRUE(IsTransparent(100, 8));
  EXPECT_TRUE(IsTransparent(300, 84));
  EXPECT_TRUE(OutlineIn(175, 175, 14, 18));
}

TEST_F(DrawnBubble, TextIsDrawnInsideTheTextBox) {
  Draw(Words(1), 100, 175.0f, false);
  int dark = 0;
  for (int32_t y = 20; y < 55; ++y) {
    EXPECT_TRUE(IsWhite(15, y)) << y;  // nothing of the text left of the box
    for (int32_t x = 20; x < 330; ++x)
      dark += PixelAt(surface_, x, y).red < 128;
  }
  EXPECT_GT(dark, 50);
}

}  // namespace
}  // namespace companion
