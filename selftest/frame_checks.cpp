#include "selftest/frame_checks.h"

namespace companion {

namespace {

constexpr uint64_t kHashStart = 0x14650fb0739d0383ull;
constexpr uint64_t kHashPrime = 0x100000001b3ull;
constexpr int32_t kCornerX = 279;
constexpr int32_t kCornerBottom = 189;

}  // namespace

uint8_t AlphaAt(const FramePixels& frame, int32_t x, int32_t y) {
  return frame.bytes[(size_t(y) * size_t(frame.width) + size_t(x)) * 4 + 3];
}

bool CornersClear(const FramePixels& frame, SecondCorner corner) {
  if (AlphaAt(frame, 0, 0) != 0) return false;
  if (frame.width <= kCornerX) return true;
  if (corner == SecondCorner::TopRight) return AlphaAt(frame, kCornerX, 0) == 0;
  if (frame.height <= kCornerBottom) return true;
  return AlphaAt(frame, kCornerX, kCornerBottom) == 0;
}

int32_t VisiblePixels(const FramePixels& frame) {
  int32_t count = 0;
  for (size_t i = 3; i < frame.bytes.size(); i += 4) {
    if (frame.bytes[i] >= kVisibleAlpha) ++count;
  }
  return count;
}

uint64_t FrameHash(const FramePixels& frame) {
  uint64_t hash = kHashStart;
  for (size_t i = 0; i + 3 < frame.bytes.size(); i += 4) {
    hash = (hash ^ frame.bytes[i]) * kHashPrime;
    hash = (hash ^ frame.bytes[i + 3]) * kHashPrime;
  }
  return hash;
}

}  // namespace companion
