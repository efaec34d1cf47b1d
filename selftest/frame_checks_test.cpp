#include "selftest/frame_checks.h"

#include <gtest/gtest.h>

#include <vector>

namespace companion {
namespace {

struct Frame {
  Frame(int32_t w, int32_t h) : width(w), height(h), bytes(size_t(w) * size_t(h) * 4, 0) {}
  void Set(int32_t x, int32_t y, uint8_t blue, uint8_t alpha) {
    const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 4;
    bytes[i] = blue;
    bytes[i + 3] = alpha;
  }
  FramePixels View() const { return {bytes, width, height}; }
  int32_t width, height;
  std::vector<uint8_t> bytes;
};

TEST(CornersClear, EachPhaseLooksAtItsOwnSecondCorner) {
  struct Case {
    int32_t x, y;
    bool topRightPhase, bottomRightPhase;
  };
  const Case kCases[] = {
      {0, 0, false, false},     // top-left fails both
      {279, 0, false, true},    // top-right fails only the full-motion check
      {279, 189, true, false},  // bottom-right fails only the younger check
      {0, 189, true, true},     // bottom-left is never checked
      {140, 95, true, true},    // the figure itself
  };
  for (const auto& c : kCases) {
    Frame frame(280, 190);
    frame.Set(c.x, c.y, 0, 255);
    EXPECT_EQ(CornersClear(frame.View(), SecondCorner::TopRight), c.topRightPhase)
        << c.x << "," << c.y;
    EXPECT_EQ(CornersClear(frame.View(), SecondCorner::BottomRight), c.bottomRightPhase)
        << c.x << "," << c.y;
  }
}

TEST(CornersClear, SmallSurfacesOnlyCheckTheCornersThatExist) {
  Frame narrow(200, 190);
  narrow.Set(199, 0, 0, 255);
  narrow.Set(199, 189, 0, 255);
  EXPECT_TRUE(CornersClear(narrow.View(), SecondCorner::TopRight));
  EXPECT_TRUE(CornersClear(narrow.View(), SecondCorner::BottomRight));
  Frame low(280, 100);
  low.Set(279, 99, 0, 255);
  EXPECT_TRUE(CornersClear(low.View(), SecondCorner::BottomRight));
  low.Set(279, 0, 0, 1);
  EXPECT_FALSE(CornersClear(low.View(), SecondCorner::TopRight));
}

TEST(VisiblePixels, CountsAlphaOf33AndAbove) {
  Frame frame(280, 190);
  for (int32_t i = 0; i < 199; ++i)
    frame.Set(10 + i % 100, 50 + i / 100, 0, 33);
  frame.Set(5, 5, 0, 32);
  EXPECT_EQ(VisiblePixels(frame.View()), 199);
  frame.Set(6, 5, 0, 255);
  EXPECT_EQ(VisiblePixels(frame.View()), kMinimumVisiblePixels);
}

TEST(FrameHash, EmptyFrameIsTheStartValueFolded) {
  const Frame none(0, 0);
  EXPECT_EQ(FrameHash(none.View()), 0x14650fb0739d0383ull);
  Frame one(1, 1);
  // (start ^ 0) * p, then (^ 0) * p again: two multiplications for one clear pixel.
  EXPECT_EQ(FrameHash(one.View()), 0x14650fb0739d0383ull * 0x100000001b3ull * 0x100000001b3ull);
}

TEST(FrameHash, SeesBlueAndAlphaButNotGreenOrRed) {
  Frame a(280, 190), b(280, 190);
  EXPECT_EQ(FrameHash(a.View()), FrameHash(b.View()));
  b.bytes[(100 * 280 + 100) * 4 + 1] = 200;  // green
  b.bytes[(100 * 280 + 100) * 4 + 2] = 200;  // red
  EXPECT_EQ(FrameHash(a.View()), FrameHash(b.View()));
  b.Set(100, 100, 1, 0);
  EXPECT_NE(FrameHash(a.View()), FrameHash(b.View()));
  Frame c(280, 190);
  c.Set(100, 100, 0, 1);
  EXPECT_NE(FrameHash(a.View()), FrameHash(c.View()));
  // Order matters: the same bytes at another pixel hash differently.
  Frame d(280, 190);
  d.Set(101, 100, 0, 1);
  EXPECT_NE(FrameHash(c.View()), FrameHash(d.View()));
}

}  // namespace
}  // namespace companion
