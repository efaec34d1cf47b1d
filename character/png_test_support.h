// Makes PNGs for the row reader's tests and measurements: the filters written out here, the
// compression zlib's.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace companion {

// Each row with filter type y % 5, so every filter appears: the filter type byte, then the row.
inline std::vector<std::uint8_t> FilterRows(const std::vector<std::uint8_t>& rgba,
                                            std::int32_t width, std::int32_t height) {
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> filtered;
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* row = rgba.data() + y * stride;
    filtered.push_back(static_cast<std::uint8_t>(y % 5));
    for (std::size_t i = 0; i < stride; ++i) {
      const int left = i >= 4 ? row[i - 4] : 0;
      const int up = y > 0 ? row[i - stride] : 0;
      const int upLeft = i >= 4 && y > 0 ? row[i - stride - 4] : 0;
      const int toLeft = std::abs(up - upLeft), toUp = std::abs(left - upLeft);
      const int toUpLeft = std::abs(left + up - 2 * upLeft);
      const int paeth = toLeft <= toUp && toLeft <= toUpLeft ? left
                        : toUp <= toUpLeft                   ? up
                                                             : upLeft;
      const int predictors[] = {0, left, up, (left + up) / 2, paeth};
      filtered.push_back(static_cast<std::uint8_t>(row[i] - predictors[y % 5]));
    }
  }
  return filtered;
}

inline std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& filtered, int level) {
  uLongf size = compressBound(static_cast<uLong>(filtered.size()));
  std::vector<std::uint8_t> packed(size);
  compress2(packed.data(), &size, filtered.data(), static_cast<uLong>(filtered.size()), level);
  packed.resize(size);
  return packed;
}

inline void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void PutChunk(std::vector<std::uint8_t>& png, const char* type,
                     const std::vector<std::uint8_t>& data) {
  PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBigEndian(png,
               crc32(0, &png[png.size() - data.size() - 4], static_cast<uInt>(data.size() + 4)));
}

// An RGBA PNG around the zlib stream `packed`, with a text chunk before the image data and that
// data split into chunks of `chunkSizes`, the last chunk taking the rest.
inline std::vector<std::uint8_t> WrapPng(std::int32_t width, std::int32_t height,
                                         const std::vector<std::uint8_t>& packed,
                                         const std::vector<std::size_t>& chunkSizes = {}) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});
  PutChunk(png, "IHDR", header);
  PutChunk(png, "tEXt", {'N', 'o', 't', 'e', 0, 't', 'e', 's', 't'});
  std::size_t at = 0;
  for (const std::size_t size : chunkSizes) {
    const std::size_t end = std::min(at + size, packed.size());
    PutChunk(png, "IDAT", {packed.begin() + at, packed.begin() + end});
    at = end;
  }
  PutChunk(png, "IDAT", {packed.begin() + at, packed.end()});
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace companion
