// Decoding a figure-sized atlas row by row, and zlib's own inflate of the same stream (which
// leaves the rows filtered) for comparison. Both count the atlas's decoded pixel bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "character/png_rows.h"
#include "character/png_test_support.h"

namespace companion {
namespace {

constexpr std::int32_t kWidth = 2240;
constexpr std::int32_t kHeight = 4560;
constexpr std::int32_t kCellWidth = 140;
constexpr std::int32_t kCellHeight = 380;
constexpr std::int64_t kPixelBytes = std::int64_t{kWidth} * kHeight * 4;

struct Atlas {
  std::vector<std::uint8_t> zlibStream;
  std::vector<std::uint8_t> png;
};

// 192 frames, each a shaded head and body with soft edges on transparency, moving a little from
// frame to frame; compressed at the art generator's level.
const Atlas& FigureAtlas() {
  static const Atlas atlas = [] {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kPixelBytes), 0);
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) {
        const int frame = (y / kCellHeight) * (kWidth / kCellWidth) + x / kCellWidth;
        const float cellX =
            static_cast<float>(x % kCellWidth) - 70 - static_cast<float>(frame % 23);
        const float cellY = static_cast<float>(y % kCellHeight);
        const float head = 34 - std::hypot(cellX, cellY - 80);
        const float body = 1 - std::hypot(cellX / 45, (cellY - 230) / 110);
        const float coverage = std::clamp(std::max(head, body * 40), 0.0f, 1.0f);
        if (coverage == 0) continue;
        std::uint8_t* pixel = &rgba[(static_cast<std::size_t>(y) * kWidth + x) * 4];
        const bool isHead = head > body * 40;
        // Folds and strands: the fine detail that keeps the real atlases at a few MB.
        const float detail =
            12 * std::sin(cellX * 1.3f + cellY * 0.37f + static_cast<float>(frame));
        pixel[0] =
            static_cast<std::uint8_t>(isHead ? 220 - cellY / 4 + detail / 3 : 90 + cellX + detail);
        pixel[1] = static_cast<std::uint8_t>(isHead ? 180 + detail / 4 : 60 + cellY / 8 + detail);
        pixel[2] = static_cast<std::uint8_t>(isHead ? 150 + cellX / 2 : 140 + detail);
        pixel[3] = static_cast<std::uint8_t>(coverage * 255);
      }
    }
    Atlas made;
    made.zlibStream = Compress(FilterRows(rgba, kWidth, kHeight), 6);
    made.png = WrapPng(kWidth, kHeight, made.zlibStream);
    return made;
  }();
  return atlas;
}

void BM_ReadPngRows(benchmark::State& state) {
  const Atlas& atlas = FigureAtlas();
  for (auto _ : state) {
    ReadPngRows(atlas.png,
                [](std::int32_t, const std::uint8_t* rgba) { benchmark::DoNotOptimize(rgba[0]); });
  }
  state.SetBytesProcessed(state.iterations() * kPixelBytes);
  state.SetLabel(std::to_string(atlas.png.size() / 1024) + " KB of PNG");
}
BENCHMARK(BM_ReadPngRows)->Unit(benchmark::kMillisecond);

void BM_ZlibUncompress(benchmark::State& state) {
  const Atlas& atlas = FigureAtlas();
  std::vector<std::uint8_t> filtered(static_cast<std::size_t>(kHeight) * (kWidth * 4 + 1));
  for (auto _ : state) {
    uLongf size = static_cast<uLongf>(filtered.size());
    if (uncompress(filtered.data(), &size, atlas.zlibStream.data(),
                   static_cast<uLong>(atlas.zlibStream.size())) != Z_OK) {
      state.SkipWithError("uncompress failed");
    }
    benchmark::DoNotOptimize(filtered.data());
  }
  state.SetBytesProcessed(state.iterations() * kPixelBytes);
}
BENCHMARK(BM_ZlibUncompress)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace companion
