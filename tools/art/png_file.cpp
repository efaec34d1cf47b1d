#include "png_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace art {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

std::uint32_t GetU32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(data.size() + 4));
  PutU32(out, static_cast<std::uint32_t>(crc));
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Predictor of filter type `filter` for byte i of a row (4 bytes per pixel).
int Predict(int filter, const std::uint8_t* row, const std::uint8_t* prior, std::size_t i) {
  const int a = i >= 4 ? row[i - 4] : 0;
  const int b = prior ? prior[i] : 0;
  const int c = (i >= 4 && prior) ? prior[i - 4] : 0;
  switch (filter) {
    case 1:
      return a;
    case 2:
      return b;
    case 3:
      return (a + b) / 2;
    case 4:
      return Paeth(a, b, c);
    default:
      return 0;
  }
}

// The same as Predict byte by byte, with the filter chosen once per row: encoding is the
// generator's hot loop.
void FilterRow(int filter, const std::uint8_t* row, const std::uint8_t* prior, std::size_t n,
               std::uint8_t* out) {
  const auto put = [&](auto predictor) {
    for (std::size_t i = 0; i < n; ++i)
      out[i] = static_cast<std::uint8_t>(row[i] - predictor(i));
  };
  const auto left = [&](std::size_t i) { return i >= 4 ? row[i - 4] : 0; };
  const auto up = [&](std::size_t i) { return prior ? prior[i] : 0; };
  const auto upLeft = [&](std::size_t i) { return (i >= 4 && prior) ? prior[i - 4] : 0; };
  switch (filter) {
    case 0:
      put([](std::size_t) { return 0; });
      break;
    case 1:
      put(left);
      break;
    case 2:
      put(up);
      break;
    case 3:
      put([&](std::size_t i) { return (left(i) + up(i)) / 2; });
      break;
    default:
      put([&](std::size_t i) { return Paeth(left(i), up(i), upLeft(i)); });
      break;
  }
}

}  // namespace

RgbaImage StraightRgbaFromSurface(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  RgbaImage image;
  image.width = cairo_image_surface_get_width(surface);
  image.height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 4);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      std::uint32_t argb;
      std::memcpy(&argb, data + static_cast<std::size_t>(y) * stride + x * 4, 4);
      const std::uint32_t a = argb >> 24;
      std::uint8_t* out = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
      if (a == 0) {
        out[0] = out[1] = out[2] = out[3] = 0;
        continue;
      }
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t premultiplied = (argb >> (16 - 8 * c)) & 0xff;
        out[c] = static_cast<std::uint8_t>(
            std::min<std::uint32_t>(255, (premultiplied * 255 + a / 2) / a));
      }
      out[3] = static_cast<std::uint8_t>(a);
    }
  }
  return image;
}

std::vector<std::uint8_t> EncodePng(const RgbaImage& image) {
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  std::vector<std::uint8_t> raw;
  raw.reserve((rowBytes + 1) * image.height);
  std::vector<std::uint8_t> candidate(rowBytes);
  std::vector<std::uint8_t> best(rowBytes);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* row = &image.pixels[y * rowBytes];
    const std::uint8_t* prior = y > 0 ? row - rowBytes : nullptr;
    // The usual heuristic: the filter whose output has the smallest sum of signed magnitudes.
    long bestScore = -1;
    int bestFilter = 0;
    for (int filter = 0; filter <= 4; ++filter) {
      FilterRow(filter, row, prior, rowBytes, candidate.data());
      long score = 0;
      for (std::size_t i = 0; i < rowBytes; ++i) {
        score += candidate[i] < 128 ? candidate[i] : 256 - candidate[i];
      }
      if (bestScore < 0 || score < bestScore) {
        bestScore = score;
        bestFilter = filter;
        best.swap(candidate);
      }
    }
    raw.push_back(static_cast<std::uint8_t>(bestFilter));
    raw.insert(raw.end(), best.begin(), best.end());
  }

  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) !=
      Z_OK) {
    throw std::runtime_error("PNG compression failed");
  }
  packed.resize(packedSize);

  std::vector<std::uint8_t> out(kSignature.begin(), kSignature.end());
  std::vector<std::uint8_t> header;
  PutU32(header, static_cast<std::uint32_t>(image.width));
  PutU32(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

RgbaImage DecodePng(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 8 || !std::equal(kSignature.begin(), kSignature.end(), bytes.begin())) {
    throw std::runtime_error("not a PNG file");
  }
  RgbaImage image;
  std::vector<std::uint8_t> packed;
  std::size_t at = 8;
  while (at + 12 <= bytes.size()) {
    const std::uint32_t length = GetU32(&bytes[at]);
    if (length > bytes.size() - at - 12) throw std::runtime_error("truncated PNG chunk");
    const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
    const std::uint8_t* data = &bytes[at + 8];
    if (crc32(0, &bytes[at + 4], length + 4) != GetU32(data + length)) {
      throw std::runtime_error("PNG chunk CRC mismatch");
    }
    if (type == "IHDR") {
      if (length != 13 || data[8] != 8 || data[9] != 6 || data[12] != 0) {
        throw std::runtime_error("PNG is not 8-bit non-interlaced RGBA");
      }
      image.width = static_cast<int>(GetU32(data));
      image.height = static_cast<int>(GetU32(data + 4));
    } else if (type == "IDAT") {
      packed.insert(packed.end(), data, data + length);
    }
    at += 12 + length;
  }
  if (image.width <= 0 || image.height <= 0) throw std::runtime_error("PNG without IHDR");

  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  std::vector<std::uint8_t> raw((rowBytes + 1) * image.height);
  uLongf rawSize = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
      rawSize != raw.size()) {
    throw std::runtime_error("PNG data does not inflate to the image size");
  }
  image.pixels.resize(rowBytes * image.height);
  for (int y = 0; y < image.height; ++y) {
    const int filter = raw[y * (rowBytes + 1)];
    if (filter > 4) throw std::runtime_error("unknown PNG filter");
    const std::uint8_t* in = &raw[y * (rowBytes + 1) + 1];
    std::uint8_t* row = &image.pixels[y * rowBytes];
    const std::uint8_t* prior = y > 0 ? row - rowBytes : nullptr;
    for (std::size_t i = 0; i < rowBytes; ++i) {
      row[i] = static_cast<std::uint8_t>(in[i] + Predict(filter, row, prior, i));
    }
  }
  return image;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace art
