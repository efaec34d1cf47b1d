#pragma once
// The current clip's frames as drawn at one scale, kept so that a replay, a drag or a redraw
// copies a frame instead of scaling it from the atlas again. Each frame keeps only the rectangle
// that holds its drawing; the rest of the surface is transparent.
#include <cstdint>
#include <vector>

namespace companion {

struct ScaledFrame {
  bool stored = false;
  int32_t x = 0, y = 0, width = 0, height = 0;  // the kept rectangle, in surface pixels
  std::vector<uint8_t> pixels;                  // its rows, width * 4 bytes each
};

struct ScaledFrames {
  float scale = 0.0f;  // the scale and surface size the frames were drawn at
  int32_t surfaceWidth = 0;
  int32_t surfaceHeight = 0;
  int32_t storedCount = 0;
  std::vector<ScaledFrame> frames;  // one per frame of the clip
};

// The smallest rectangle of 4-byte pixels (rows of width * 4 bytes) outside which every byte is
// zero, with its pixels; an empty rectangle when all are zero.
ScaledFrame CropToDrawing(const uint8_t* pixels, int32_t width, int32_t height);

// Writes the kept rectangle into pixels that are all zero, which gives back the full frame.
void PasteFrame(const ScaledFrame& frame, uint8_t* pixels, int32_t width);

}  // namespace companion
