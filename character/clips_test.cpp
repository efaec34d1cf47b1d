#include "character/clips.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace companion {
namespace {

TEST(FrameAtElapsed, EveryRoundedUpFrameTimeLandsOnItsFrame) {
  for (const auto& clip : MotionClips) {
    for (int32_t f = 0; f < clip.frameCount; ++f)
      ASSERT_EQ(FrameAtElapsed(clip, (uint64_t(f) * 1000 + 23) / 24), f);
  }
}

TEST(FrameAtElapsed, HoldsTheLastFrameWithoutOverflowing) {
  EXPECT_EQ(FrameAtElapsed(MotionClips[0], 41), 0);
  EXPECT_EQ(FrameAtElapsed(MotionClips[0], 100000), 59);
  EXPECT_EQ(FrameAtElapsed(MotionClips[4], 4500), 107);
  EXPECT_EQ(FrameAtElapsed(YoungerClip, UINT64_MAX / 24), 191);
}

// Frames sit eight to a 280 x 190 row; frame 31 ends the fourth row, frame 7 ends at x 2240.
TEST(FrameInsideAtlas, EveryFrameFitsItsAtlasAndAShortAtlasRefuses) {
  for (const auto& clip : MotionClips) {
    const int64_t height = (clip.frameCount + 7) / 8 * 190;
    EXPECT_TRUE(FrameInsideAtlas(FrameRect(clip, clip.frameCount - 1), 2240, height));
  }
  EXPECT_TRUE(FrameInsideAtlas(FrameRect(MotionClips[0], 31), 2240, 760));
  EXPECT_FALSE(FrameInsideAtlas(FrameRect(MotionClips[0], 32), 2240, 760));
  EXPECT_FALSE(FrameInsideAtlas(FrameRect(MotionClips[0], 7), 2239, 760));
}

}  // namespace
}  // namespace companion
