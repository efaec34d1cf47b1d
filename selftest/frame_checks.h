#pragma once
// Checks of one rendered frame: 32-bit pixels in memory order blue, green, red, alpha.
#include <cstdint>
#include <span>

namespace companion {

struct FramePixels {
  std::span<const uint8_t> bytes;  // width * height * 4
  int32_t width;
  int32_t height;
};

// Which second corner must be clear besides the top-left one.
enum class SecondCorner { TopRight, BottomRight };

inline constexpr int32_t kMinimumVisiblePixels = 200;
inline constexpr uint8_t kVisibleAlpha = 33;

uint8_t AlphaAt(const FramePixels& frame, int32_t x, int32_t y);
// The top-left pixel is clear, and so is the second corner at (279, 0) or (279, 189) when the
// frame is large enough to have it.
bool CornersClear(const FramePixels& frame, SecondCorner corner);
// Pixels with alpha of at least 33.
int32_t VisiblePixels(const FramePixels& frame);
// A 64-bit hash over each pixel's blue and alpha bytes, enough to tell frames apart.
uint64_t FrameHash(const FramePixels& frame);

}  // namespace companion
