#include "bubble/bubble_drawing_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "bubble/bubble_layout.h"
#include "tests/live_companion_win.h"

namespace companion {
namespace {

using testing::PixelAt;

const std::u16string kVerse = u"Blessed are the merciful, for they shall obtain mercy. ";

TEST(MeasureBubbleText, GrowsWithTheTextToAtMost1060) {
  std::u16string text;
  for (int i = 0; i < 400; ++i)
    text += kVerse;
  EXPECT_EQ(MeasureBubbleText(u""), 85);
  EXPECT_GT(MeasureBubbleText(text.substr(0, 6 * kVerse.size())),
            MeasureBubbleText(text.substr(0, 3 * kVerse.size())));
  EXPECT_NEAR(MeasureBubbleText(text), 980, 80);  // reaches toward 1060, never past it
}

// Draws as the bubble window does (tail at 300 atop an 85-unit bubble or at 100 below a 120-unit
// one) and reads a box back: 'w' opaque white, 't' clear, 'd' dark (outline, text), '-' other.
std::string Kinds(const std::u16string& body, bool top, int x0, int y0, int x1, int y1) {
  const int32_t height = top ? 85 : 120;
  DesktopSurface surface;
  ResizeSurface(surface, kBubbleUnitsWide, height);
  DrawBubble(SurfaceCanvas(surface).graphics(), body, height, top ? 300.0f : 100.0f, top);
  std::string kinds;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const auto p = PixelAt(surface, x, y);
      const bool white = (p.alpha & p.red & p.green & p.blue) == 255;
      const bool dark = p.alpha > 200 && std::max({p.red, p.green, p.blue}) < 120;
      kinds += p.alpha == 0 ? 't' : white ? 'w' : dark ? 'd' : '-';
    }
  }
  return kinds;
}

// Tail below: body from y 2 to 104, tail base at 103 (not outlined: white runs on into it), tip at
// 118. Tail above: body from y 16 to 83, base at 17, tip at 2. A box across an edge meets the pen.
TEST(DrawnBubble, BodyOutlineTailTextAndClearOutside) {
  const std::tuple<bool, int, int, int, int, char> kChecks[] = {
      {false, 100, 103, 100, 103, 'w'}, {false, 100, 108, 100, 108, 'w'},
      {false, 250, 112, 250, 112, 't'}, {false, 0, 60, 4, 60, 'd'},
      {false, 175, 102, 175, 106, 'd'}, {true, 300, 10, 300, 10, 'w'},
      {true, 100, 8, 100, 8, 't'},      {true, 300, 84, 300, 84, 't'},
      {true, 175, 14, 175, 18, 'd'}};
  for (const auto& [top, x0, y0, x1, y1, kind] : kChecks)
    EXPECT_NE(Kinds(u"Amen.", top, x0, y0, x1, y1).find(kind), std::string::npos)
        << x0 << "," << y0;
  EXPECT_EQ(Kinds(kVerse, false, 15, 20, 15, 54), std::string(35, 'w')) << "left of the text box";
  EXPECT_GT(std::ranges::count(Kinds(kVerse, false, 20, 20, 329, 54), 'd'), 50);
}

}  // namespace
}  // namespace companion
