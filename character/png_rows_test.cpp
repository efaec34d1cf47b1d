#include "character/png_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "character/png_test_support.h"

namespace companion {
namespace {

// Noise (for long codes and Paeth ties) beside smooth colour, around a transparent disc.
std::vector<std::uint8_t> Picture(std::int32_t width, std::int32_t height) {
  std::vector<std::uint8_t> rgba;
  std::uint32_t noise = 12345;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width * 4; ++x) {
      const std::int32_t dx = x / 4 - width / 2, dy = y - height / 2;
      const bool clear = dx * dx + dy * dy < width * width / 9;
      noise = noise * 1103515245 + 12345;
      rgba.push_back(clear ? 0 : static_cast<std::uint8_t>(x % 64 < 32 ? noise >> 24 : x + y));
    }
  }
  return rgba;
}

TEST(PngRowsTest, DecodesEveryFilterAndBlockKindAcrossSplitChunks) {
  // Stored blocks at level 0, fixed codes for one pixel; 144 KB of rows slide the window.
  const struct {
    std::int32_t width, height, level;
    std::vector<std::size_t> chunkSizes;
  } kCases[] = {{1, 1, 9, {}},
                {300, 120, 0, {1, 70000}},
                {300, 120, 1, {5000, 1, 0, 3}},
                {300, 120, 9, {1, 2, 3}}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.width) + " wide, level " + std::to_string(c.level));
    const std::vector<std::uint8_t> rgba = Picture(c.width, c.height);
    const std::vector<std::uint8_t> png = WrapPng(
        c.width, c.height, Compress(FilterRows(rgba, c.width, c.height), c.level), c.chunkSizes);
    const std::size_t stride = static_cast<std::size_t>(c.width) * 4;
    std::int32_t nextY = 0;
    ReadPngRows(png, [&](std::int32_t y, const std::uint8_t* row) {
      EXPECT_EQ(y, nextY++);
      EXPECT_EQ(std::memcmp(row, rgba.data() + y * stride, stride), 0) << "row " << y;
    });
    EXPECT_EQ(nextY, c.height);
  }
}

TEST(PngRowsTest, RejectsDamagedFiles) {
  constexpr std::int32_t kWidth = 16, kHeight = 9;
  std::vector<std::uint8_t> filtered = FilterRows(Picture(kWidth, kHeight), kWidth, kHeight);
  const std::vector<std::uint8_t> good = WrapPng(kWidth, kHeight, Compress(filtered, 9), {30});
  const std::size_t data = std::string(good.begin(), good.end()).find("IDAT") + 4;
  const auto patched = [&](std::initializer_list<std::pair<std::size_t, std::uint8_t>> changes) {
    std::vector<std::uint8_t> png = good;
    for (const auto& [at, value] : changes)
      png[at] = value;
    return png;
  };
  // A 1 x 1 image's deflate data written after a zlib header: {value, bit count}, low bit first.
  const auto deflate = [](std::initializer_list<std::pair<std::uint32_t, int>> fields) {
    std::vector<std::uint8_t> packed = {0x78, 0x01};
    int used = 8;
    for (const auto& [value, count] : fields) {
      for (int bit = 0; bit < count; ++bit, ++used) {
        if (used == 8) packed.push_back(0), used = 0;
        packed.back() |= static_cast<std::uint8_t>(((value >> bit) & 1) << used);
      }
    }
    return WrapPng(1, 1, packed);
  };
  filtered[3 * (kWidth * 4 + 1)] = 5;
  std::vector<std::vector<std::uint8_t>> damaged = {
      WrapPng(kWidth, kHeight, Compress(filtered, 9)),  // filter type 5
      patched({{25, 2}}),                               // colour type RGB
      WrapPng(16385, 1, Compress(std::vector<std::uint8_t>(1 + 16385 * 4), 9)),
      WrapPng(1, 16385, Compress(std::vector<std::uint8_t>(16385 * 5), 9)),
      patched({{23, 8}}),                                         // a row too many
      patched({{23, 10}}),                                        // a row too few
      patched({{20, 0}, {22, 0x40}, {23, 0}}),                    // 16384 rows claimed
      patched({{data, 0x79}, {data + 1, 0x18}}),                  // not deflate
      patched({{data + 10, good[data + 10] ^ 0xFF}}),             // a damaged deflate stream
      patched({{good.size() - 17, good[good.size() - 17] ^ 1}}),  // checksum
      // A stored block whose length and its complement differ, then five zeros and their sum.
      deflate({{1, 1}, {0, 2}, {0, 5}, {5, 16}, {5, 16}, {0, 32}, {0, 8}, {0x01000500, 32}}),
      deflate({{1, 1}, {1, 2}, {64, 7}, {0, 5}}),  // a match before the first byte
      // Five zeros and their sum, with a code-length code of lengths 1, 2, 3: incomplete.
      deflate({{1, 1},   {2, 2}, {0, 10}, {14, 4}, {0, 6}, {1, 3},   {2, 3},
               {0, 30},  {0, 9}, {3, 3},  {3, 3},  {0, 1}, {127, 7}, {0, 1},
               {106, 7}, {3, 3}, {1, 2},  {0, 5},  {1, 1}, {0, 3},   {0x01000500, 32}}),
      // runs of zero lengths past the last distance code
      deflate({{1, 1}, {2, 2}, {29, 5}, {29, 5}, {0, 4}, {0, 6}, {9, 6}, {0xFFFFFF, 24}}),
  };
  for (const std::size_t cut : {std::size_t{32}, data - 4, data + 5, good.size() - 1})
    damaged.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    try {
      ReadPngRows(damaged[i], [](std::int32_t, const std::uint8_t*) {});
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Invalid PNG");
    }
  }
}

}  // namespace
}  // namespace companion
