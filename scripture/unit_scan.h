// Word-at-a-time search over UTF-16 text for the few units that end a run of ordinary text,
// four units per 64-bit step. Reading and cutting a whole book is mostly such runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace companion {

namespace unit_scan {

constexpr std::uint64_t kLanes = 0x0001000100010001ULL;
constexpr std::uint64_t kHighBits = 0x8000800080008000ULL;

// Non-zero when some 16-bit lane of `x` is zero.
constexpr std::uint64_t AnyZeroLane(std::uint64_t x) {
  return (x - kLanes) & ~x & kHighBits;
}

}  // namespace unit_scan

// The index of the first unit at or after `from` that is `a`, `b` or `c`, or below U+0020 when
// `controls` is set; text.size() when there is none.
inline std::size_t FindFirstUnit(std::u16string_view text, std::size_t from, char16_t a, char16_t b,
                                 char16_t c, bool controls) {
  using namespace unit_scan;
  const std::uint64_t controlMask = controls ? 0xFFE0FFE0FFE0FFE0ULL : ~std::uint64_t{0};
  std::size_t i = from;
  for (; i + 4 <= text.size(); i += 4) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    if (AnyZeroLane(word ^ (kLanes * a)) || AnyZeroLane(word ^ (kLanes * b)) ||
        AnyZeroLane(word ^ (kLanes * c)) || (controls && AnyZeroLane(word & controlMask))) {
      break;
    }
  }
  for (; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u == a || u == b || u == c || (controls && u < 0x20)) return i;
  }
  return text.size();
}

}  // namespace companion
