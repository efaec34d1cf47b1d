#include "character/atlas_frames.h"

#include <algorithm>
#include <cstring>

#include "character/png_rows.h"

namespace companion {

namespace {

struct Bounds {
  int32_t left, top, right, bottom;  // inclusive; right < left when nothing is drawn
};

Bounds DrawnBounds(const uint8_t* strip, int32_t stripWidth, int32_t x, int32_t width,
                   int32_t height) {
  Bounds bounds{width, height, -1, -1};
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* pixel = strip + (size_t(row) * size_t(stripWidth) + size_t(x)) * 4;
    for (int32_t column = 0; column < width; ++column, pixel += 4) {
      if (pixel[3] == 0) continue;
      bounds.left = std::min(bounds.left, column);
      bounds.right = std::max(bounds.right, column);
      bounds.top = std::min(bounds.top, row);
      bounds.bottom = row;
    }
  }
  return bounds;
}

// Keeps the frames of one atlas row, read into `strip` (premultiplied, the atlas's width).
void KeepStrip(LoadedAtlas& kept, const std::vector<uint8_t>& strip, const MotionClip& clip,
               int32_t firstFrame) {
  const int32_t frames = std::min(clip.columns, clip.frameCount - firstFrame);
  std::vector<Bounds> bounds;
  size_t total = 0;
  for (int32_t column = 0; column < frames; ++column) {
    const int32_t x = column * clip.frameWidth;
    if (x + clip.frameWidth > kept.atlasWidth) break;
    bounds.push_back(
        DrawnBounds(strip.data(), kept.atlasWidth, x, clip.frameWidth, clip.frameHeight));
    const Bounds& b = bounds.back();
    if (b.right >= b.left) total += size_t(b.right - b.left + 1) * size_t(b.bottom - b.top + 1) * 4;
  }
  std::vector<uint8_t>& block = kept.blocks.emplace_back(total);
  size_t offset = 0;
  for (size_t column = 0; column < bounds.size(); ++column) {
    const Bounds& b = bounds[column];
    if (b.right < b.left) continue;
    CroppedFrame& frame = kept.frames[size_t(firstFrame) + column];
    frame = {b.left, b.top, b.right - b.left + 1, b.bottom - b.top + 1, block.data() + offset};
    const size_t rowBytes = size_t(frame.width) * 4;
    for (int32_t row = 0; row < frame.height; ++row) {
      const size_t from = (size_t(b.top + row) * size_t(kept.atlasWidth) +
                           size_t(column) * size_t(clip.frameWidth) + size_t(b.left)) *
                          4;
      std::memcpy(block.data() + offset, strip.data() + from, rowBytes);
      offset += rowBytes;
    }
  }
}

}  // namespace

LoadedAtlas CutAtlasFrames(std::span<const uint8_t> png, const MotionClip& clip) {
  const PngSize size = ReadPngSize(png);
  LoadedAtlas kept;
  kept.atlasWidth = size.width;
  kept.atlasHeight = size.height;
  kept.frames.resize(size_t(clip.frameCount));
  const size_t rowBytes = size_t(size.width) * 4;
  std::vector<uint8_t> strip(rowBytes * size_t(clip.frameHeight));
  ReadPngRows(png, [&](int32_t y, const uint8_t* rgba) {
    const int32_t stripRow = y % clip.frameHeight;
    uint8_t* out = strip.data() + size_t(stripRow) * rowBytes;
    for (size_t i = 0; i < rowBytes; i += 4) {
      const uint32_t alpha = rgba[i + 3];
      // Straight red, green, blue to premultiplied blue, green, red, rounded to nearest.
      out[i] = uint8_t((rgba[i + 2] * alpha + 127) / 255);
      out[i + 1] = uint8_t((rgba[i + 1] * alpha + 127) / 255);
      out[i + 2] = uint8_t((rgba[i] * alpha + 127) / 255);
      out[i + 3] = uint8_t(alpha);
    }
    const int32_t firstFrame = y / clip.frameHeight * clip.columns;
    if (stripRow == clip.frameHeight - 1 && firstFrame < clip.frameCount) {
      KeepStrip(kept, strip, clip, firstFrame);
    }
  });
  return kept;
}

}  // namespace companion
