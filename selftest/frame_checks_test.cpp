#include "selftest/frame_checks.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace companion {
namespace {

struct Frame {
  Frame(int32_t w, int32_t h) : width(w), height(h), bytes(size_t(w) * size_t(h) * 4, 0) {}
  Frame& Set(int32_t x, int32_t y, uint8_t blue, uint8_t alpha) {
    const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 4;
    bytes[i] = blue;
    bytes[i + 3] = alpha;
    return *this;
  }
  FramePixels View() const { return {bytes, width, height}; }
  int32_t width, height;
  std::vector<uint8_t> bytes;
};

// {top-right phase, bottom-right phase} for a frame with one opaque pixel.
std::pair<bool, bool> Clear(int32_t w, int32_t h, int32_t x, int32_t y) {
  Frame frame(w, h);
  frame.Set(x, y, 0, 1);
  return {CornersClear(frame.View(), SecondCorner::TopRight),
          CornersClear(frame.View(), SecondCorner::BottomRight)};
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
  Frame frame(280, 190);
  frame.Set(5, 5, 0, 32).Set(6, 5, 0, 33);
  EXPECT_EQ(VisiblePixels(frame.View()), 1);
}

// Only blue and alpha count, each at its place: the frames differ where the figure is drawn.
TEST(FrameHash, FoldsBlueThenAlphaOfEachPixelInOrder) {
  Frame a(280, 190), b(280, 190);
  b.bytes[(100 * 280 + 100) * 4 + 1] = 200;  // green
  b.bytes[(100 * 280 + 100) * 4 + 2] = 200;  // red
  EXPECT_EQ(FrameHash(a.View()), FrameHash(b.View()));
  const uint64_t blue = FrameHash(Frame(280, 190).Set(100, 100, 1, 0).View());
  const uint64_t alpha = FrameHash(Frame(280, 190).Set(100, 100, 0, 1).View());
  const uint64_t moved = FrameHash(Frame(280, 190).Set(101, 100, 0, 1).View());
  EXPECT_NE(blue, FrameHash(a.View()));
  EXPECT_NE(alpha, FrameHash(a.View()));
  EXPECT_NE(alpha, moved);
}

}  // namespace
}  // namespace companion
