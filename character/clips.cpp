#include "character/clips.h"

namespace companion {

int32_t FrameAtElapsed(const MotionClip& clip, uint64_t elapsedMs) {
  const uint64_t frame = uint64_t(clip.framesPerSecond) * elapsedMs / 1000;
  const uint64_t last = uint64_t(clip.frameCount - 1);
  return static_cast<int32_t>(frame > last ? last : frame);
}

AtlasRect FrameRect(const MotionClip& clip, int32_t frame) {
  const int32_t row = frame / clip.columns;
  const int32_t column = frame % clip.columns;
  return {column * clip.frameWidth, row * clip.frameHeight, clip.frameWidth, clip.frameHeight};
}

bool FrameInsideAtlas(const AtlasRect& rect, int64_t atlasWidth, int64_t atlasHeight) {
  return int64_t(rect.x) + rect.width <= atlasWidth && int64_t(rect.y) + rect.height <= atlasHeight;
}

uint64_t ClipDurationMs(const MotionClip& clip) {
  return uint64_t(clip.frameCount) * 1000 / uint64_t(clip.framesPerSecond);
}

}  // namespace companion
