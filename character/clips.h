#pragma once
// The figure's motion clips: one sprite atlas each, frames laid out row-major.
#include <cstdint>

namespace companion {

struct MotionClip {
  int32_t resourceId;
  int32_t frameCount;
  int32_t framesPerSecond;
  int32_t columns;
  int32_t frameWidth;
  int32_t frameHeight;
};

inline constexpr int32_t kFrameWidth = 280;
inline constexpr int32_t kFrameHeight = 190;

inline constexpr MotionClip MotionClips[9] = {
    {100, 60, 24, 8, kFrameWidth, kFrameHeight},   // idle gesture
    {101, 192, 24, 8, kFrameWidth, kFrameHeight},  // walk towards larger x
    {102, 192, 24, 8, kFrameWidth, kFrameHeight},  // walk towards smaller x
    {103, 192, 24, 8, kFrameWidth, kFrameHeight},  // wave
    {104, 108, 24, 8, kFrameWidth, kFrameHeight},  // sit down (backwards: stand up)
    {105, 72, 24, 8, kFrameWidth, kFrameHeight},   // seated
    {106, 192, 24, 8, kFrameWidth, kFrameHeight},  // lie down
    {107, 72, 24, 8, kFrameWidth, kFrameHeight},   // asleep
    {108, 192, 24, 8, kFrameWidth, kFrameHeight},  // wake and rise
};
inline constexpr MotionClip YoungerClip = {109, 192, 24, 8, kFrameWidth, kFrameHeight};

struct AtlasRect {
  int32_t x, y, width, height;
};

// The frame shown after elapsedMs of play; a clip never wraps, and past its end shows its last
// frame.
int32_t FrameAtElapsed(const MotionClip& clip, uint64_t elapsedMs);
// Where frame sits in the atlas.
AtlasRect FrameRect(const MotionClip& clip, int32_t frame);
// Whether rect lies inside an atlas bitmap of the given size.
bool FrameInsideAtlas(const AtlasRect& rect, int64_t atlasWidth, int64_t atlasHeight);
uint64_t ClipDurationMs(const MotionClip& clip);

}  // namespace companion
