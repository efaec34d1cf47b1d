// Straight-alpha RGBA images, their PNG encoding and decoding, and whole-file I/O for the art tool.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // row-major, 4 bytes per pixel: R, G, B, A (straight alpha)
};

// Converts a cairo ARGB32 surface (premultiplied, native byte order) to straight RGBA.
RgbaImage StraightRgbaFromSurface(cairo_surface_t* surface);

// 8-bit RGBA, non-interlaced, no ancillary chunks (so no time stamp): same pixels, same bytes.
std::vector<std::uint8_t> EncodePng(const RgbaImage& image);

// Decodes the PNGs EncodePng writes (8-bit RGBA, any filter); throws std::runtime_error otherwise.
RgbaImage DecodePng(const std::vector<std::uint8_t>& bytes);

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace art
