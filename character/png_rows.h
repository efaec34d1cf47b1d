// Reading the figure's atlases a row at a time, so that only the cropped frames are ever kept:
// a whole decoded atlas would be 41 MB.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace companion {

struct PngSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The size in the PNG's header. Throws std::runtime_error("Invalid PNG") unless the bytes start
// with a PNG signature and a well-formed header of an 8-bit RGBA, non-interlaced image of 1 to
// 16384 pixels each way.
PngSize ReadPngSize(std::span<const std::uint8_t> png);

// Decodes that image and hands its rows to `row`, top to bottom, each as width * 4 bytes of
// straight-alpha R, G, B, A (valid only during the call). Holds two rows and the 32 KB deflate
// window, never the picture. Throws std::runtime_error("Invalid PNG") for anything malformed;
// since the checksum covers the whole image, the throw can follow rows already handed out,
// which the caller must then discard.
void ReadPngRows(std::span<const std::uint8_t> png,
                 const std::function<void(std::int32_t y, const std::uint8_t* rgba)>& row);

}  // namespace companion
