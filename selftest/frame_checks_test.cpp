#include "selftest/frame_checks.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace companion {
namespace {

// A transparent w by h frame but for pixel (x, y), given as 0xAARRGGBB (stored B, G, R, A).
std::vector<uint8_t> OnePixel(int x, int y, uint32_t argb, int w = 280, int h = 190) {
  std::vector<uint8_t> bytes(size_t(w) * size_t(h) * 4, 0);
  for (int i = 0; i < 4; ++i)
    bytes[(size_t(y) * size_t(w) + size_t(x)) * 4 + size_t(i)] = uint8_t(argb >> (8 * i));
  return bytes;
}

// {top-right phase, bottom-right phase} for a frame with one opaque pixel.
std::pair<bool, bool> Clear(int32_t w, int32_t h, int32_t x, int32_t y) {
  const std::vector<uint8_t> bytes = OnePixel(x, y, 0x01000000, w, h);
  return {CornersClear({bytes, w, h}, SecondCorner::TopRight),
          CornersClear({bytes, w, h}, SecondCorner::BottomRight)};
}

TEST(CornersClear, EachPhaseLooksAtItsOwnSecondCornerWhereItExists) {
  EXPECT_EQ(Clear(280, 190, 0, 0), std::pair(false, false));
  EXPECT_EQ(Clear(280, 190, 279, 0), std::pair(false, true));
  EXPECT_EQ(Clear(280, 190, 279, 189), std::pair(true, false));
  EXPECT_EQ(Clear(280, 190, 0, 189), std::pair(true, true));
  EXPECT_EQ(Clear(279, 190, 278, 0), std::pair(true, true));
  EXPECT_EQ(Clear(280, 189, 279, 188), std::pair(true, true));
}

TEST(VisiblePixels, CountsAlphaOf33AndAbove) {
  EXPECT_EQ(VisiblePixels({OnePixel(5, 5, 0x20FFFFFF), 280, 190}), 0);
  EXPECT_EQ(VisiblePixels({OnePixel(5, 5, 0x21000000), 280, 190}), 1);
}

// Only blue and alpha count, each at its place: the frames differ where the figure is drawn.
TEST(FrameHash, FoldsBlueThenAlphaOfEachPixelInOrder) {
  const auto hash = [](int x, uint32_t c) { return FrameHash({OnePixel(x, 9, c), 280, 190}); };
  EXPECT_EQ(hash(100, 0x00C8C800), hash(100, 0));  // green and red
  EXPECT_NE(hash(100, 0x00000001), hash(100, 0));
  EXPECT_NE(hash(100, 0x01000000), hash(101, 0x01000000));
}

}  // namespace
}  // namespace companion
