#include "character/clips.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace companion {
namespace {

TEST(FrameAtElapsed, MapsTimeToFramesAndHoldsTheLast) {
  struct Case {
    const MotionClip& clip;
    uint64_t elapsedMs;
    int32_t frame;
  };
  const Case kCases[] = {
      {MotionClips[0], 0, 0},      {MotionClips[0], 41, 0},     {MotionClips[0], 42, 1},
      {MotionClips[0], 2458, 58},  {MotionClips[0], 2500, 59},  {MotionClips[0], 100000, 59},
      {MotionClips[1], 7999, 191}, {MotionClips[4], 4500, 107}, {YoungerClip, UINT64_MAX / 24, 191},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FrameAtElapsed(c.clip, c.elapsedMs), c.frame) << c.elapsedMs;
  }
}

TEST(FrameAtElapsed, RoundedUpFrameTimesLandOnTheirFrame) {
  for (const auto& clip : MotionClips) {
    for (int32_t f = 0; f < clip.frameCount; ++f) {
      const uint64_t elapsed = (uint64_t(f) * 1000 + 23) / 24;
      ASSERT_EQ(FrameAtElapsed(clip, elapsed), f);
    }
  }
}

TEST(FrameRect, RowMajorLayout) {
  const AtlasRect last0 = FrameRect(MotionClips[0], 59);
  EXPECT_EQ(last0.x, 840);
  EXPECT_EQ(last0.y, 1330);
  EXPECT_EQ(last0.width, 280);
  EXPECT_EQ(last0.height, 190);
  const AtlasRect last1 = FrameRect(MotionClips[1], 191);
  EXPECT_EQ(last1.x, 1960);
  EXPECT_EQ(last1.y, 4370);
}

TEST(FrameInsideAtlas, EveryFrameFitsItsAtlasAndAShortAtlasRefuses) {
  for (const auto& clip : MotionClips) {
    const int64_t height = (clip.frameCount + 7) / 8 * 190;
    EXPECT_TRUE(FrameInsideAtlas(FrameRect(clip, clip.frameCount - 1), 2240, height));
  }
  // Only four rows of the 60-frame idle atlas: frames 0-31 draw, 32 on do not.
  EXPECT_TRUE(FrameInsideAtlas(FrameRect(MotionClips[0], 31), 2240, 760));
  EXPECT_FALSE(FrameInsideAtlas(FrameRect(MotionClips[0], 32), 2240, 760));
  EXPECT_FALSE(FrameInsideAtlas(FrameRect(MotionClips[0], 7), 2239, 760));
}

TEST(ClipDurationMs, FromFrameCountAndRate) {
  EXPECT_EQ(ClipDurationMs(MotionClips[0]), 2500u);
  EXPECT_EQ(ClipDurationMs(MotionClips[1]), 8000u);
  EXPECT_EQ(ClipDurationMs(MotionClips[4]), 4500u);
  EXPECT_EQ(ClipDurationMs(MotionClips[5]), 3000u);
  EXPECT_EQ(ClipDurationMs(YoungerClip), 8000u);
}

}  // namespace
}  // namespace companion
