// Makes PNGs for the row reader's tests and measurements: the filters written out here, the
// compression zlib's.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <stdexcept>
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
      const int estimate = left + up - upLeft;
      const int distances[] = {std::abs(estimate - left), std::abs(estimate - up),
                               std::abs(estimate - upLeft)};
      const int paeth = distances[0] <= distances[1] && distances[0] <= distances[2] ? left
                        : distances[1] <= distances[2]                               ? up
                                                                                     : upLeft;
      const int predictors[] = {0, left, up, (left + up) / 2, paeth};
      filtered.push_back(static_cast<std::uint8_t>(row[i] - predictors[y % 5]));
    }
  }
  return filtered;
}

inline void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
                     std::size_t size) {
  PutBigEndian(out, static_cast<std::uint32_t>(size));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data, data + size);
  PutBigEndian(out, crc32(0, out.data() + typeAt, static_cast<uInt>(size + 4)));
}

// The zlib stream of `filtered` at zlib's `level` and `strategy`.
inline std::vector<std::uint8_t> Compress(std::vector<std::uint8_t> filtered, int level,
                                          int strategy = Z_DEFAULT_STRATEGY) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, 15, 9, strategy) != Z_OK) throw std::bad_alloc();
  std::vector<std::uint8_t> packed(deflateBound(&stream, static_cast<uLong>(filtered.size())));
  stream.next_in = filtered.data();
  stream.avail_in = static_cast<uInt>(filtered.size());
  stream.next_out = packed.data();
  stream.avail_out = static_cast<uInt>(packed.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate failed");
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  return packed;
}

// A whole RGBA PNG around the zlib stream `packed`, with a text chunk before the image data and
// that data split into chunks of `chunkSizes`, the last chunk taking the rest.
inline std::vector<std::uint8_t> WrapPng(std::int32_t width, std::int32_t height,
                                         const std::vector<std::uint8_t>& packed,
                                         const std::vector<std::size_t>& chunkSizes = {}) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});
  PutChunk(png, "IHDR", header.data(), header.size());
  const std::uint8_t text[] = "Comment\0test image";
  PutChunk(png, "tEXt", text, sizeof text - 1);
  std::size_t at = 0;
  for (const std::size_t size : chunkSizes) {
    PutChunk(png, "IDAT", packed.data() + at, std::min(size, packed.size() - at));
    at += std::min(size, packed.size() - at);
  }
  PutChunk(png, "IDAT", packed.data() + at, packed.size() - at);
  PutChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace companion
