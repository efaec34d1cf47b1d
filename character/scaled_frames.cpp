#include "character/scaled_frames.h"

#include <algorithm>
#include <cstring>

namespace companion {

namespace {

bool Drawn(const uint8_t* pixel) {
  return (pixel[0] | pixel[1] | pixel[2] | pixel[3]) != 0;
}

}  // namespace

ScaledFrame CropToDrawing(const uint8_t* pixels, int32_t width, int32_t height) {
  int32_t left = width, right = -1, top = height, bottom = -1;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + size_t(y) * size_t(width) * 4;
    for (int32_t x = 0; x < width; ++x) {
      if (!Drawn(row + size_t(x) * 4)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = y;
    }
  }
  ScaledFrame frame;
  frame.stored = true;
  if (right < 0) return frame;
  frame.x = left;
  frame.y = top;
  frame.width = right - left + 1;
  frame.height = bottom - top + 1;
  const size_t rowBytes = size_t(frame.width) * 4;
  frame.pixels.resize(rowBytes * size_t(frame.height));
  for (int32_t y = 0; y < frame.height; ++y) {
    std::memcpy(frame.pixels.data() + size_t(y) * rowBytes,
                pixels + (size_t(top + y) * size_t(width) + size_t(left)) * 4, rowBytes);
  }
  return frame;
}

void PasteFrame(const ScaledFrame& frame, uint8_t* pixels, int32_t width) {
  const size_t rowBytes = size_t(frame.width) * 4;
  for (int32_t y = 0; y < frame.height; ++y) {
    std::memcpy(pixels + (size_t(frame.y + y) * size_t(width) + size_t(frame.x)) * 4,
                frame.pixels.data() + size_t(y) * rowBytes, rowBytes);
  }
}

}  // namespace companion
