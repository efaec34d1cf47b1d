#pragma once
// Draws a figure frame at the figure's scale with high-quality bicubic filtering: the frame is
// sampled at the centres of the surface's pixels with a Keys cubic (a = -0.5), widened by the
// reduction when shrinking so that every source pixel counts, and the frame's surroundings are
// transparent. Premultiplied pixels in and out, so transparent pixels never bleed their colour.
//
// Scaling a frame this way costs about a millisecond at the largest size, a small part of what a
// general-purpose drawing call costs per frame, which lets every frame be scaled as it is shown.
#include <cstdint>
#include <vector>

namespace companion {

// A frame's drawn rectangle: premultiplied blue, green, red, alpha, rows of width * 4 bytes, at
// (x, y) of its frame. Everything outside it is transparent.
struct CroppedFrame {
  int32_t x = 0, y = 0, width = 0, height = 0;
  const uint8_t* pixels = nullptr;
};

// The filter taps of one axis: for each destination pixel, the first source pixel it reads and
// `count` weights from there (14-bit fixed point, summing to 1), the same count for every pixel.
struct ScaleTaps {
  int32_t count = 0;
  std::vector<int32_t> first;
  std::vector<int16_t> weights;  // count per destination pixel
};

// The taps for one scale and surface size, kept while they stay the same, and the working rows.
struct FrameScaler {
  float scale = 0.0f;
  int32_t surfaceWidth = 0;
  int32_t surfaceHeight = 0;
  ScaleTaps columns;
  ScaleTaps rows;
  std::vector<uint8_t> padded;   // one row of the frame between transparent margins
  std::vector<int32_t> between;  // the frame's rows after the horizontal pass, with margins
  std::vector<int32_t> sums;     // one destination row being summed
};

// Draws `frame` scaled by `scale` into `surface`, whose pixels must be transparent where the frame
// lands; what falls past the surface's edges is cut off.
void ScaleFrame(FrameScaler& scaler, const CroppedFrame& frame, float scale, uint8_t* surface,
                int32_t surfaceWidth, int32_t surfaceHeight);

}  // namespace companion
