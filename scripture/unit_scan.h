// Block-at-a-time search over UTF-16 text for the few units that end a run of ordinary text,
// eight units per 128-bit step. Reading and cutting a whole book is mostly such runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace companion {

namespace unit_scan {

// The compiler's portable vector types: plain SSE2 on x86-64 (the baseline there, MinGW
// included), NEON on ARM, a scalar loop elsewhere, all from one source.
using Units8 = std::uint16_t __attribute__((vector_size(16)));

// True when some lane of the comparison result `lanes` is set.
inline bool AnyLane(Units8 lanes) {
  std::uint64_t halves[2];
  std::memcpy(halves, &lanes, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

}  // namespace unit_scan

// The index of the first unit at or after `from` that is `a`, `b` or `c`, or below U+0020 when
// `controls` is set; text.size() when there is none.
inline std::size_t FindFirstUnit(std::u16string_view text, std::size_t from, char16_t a, char16_t b,
                                 char16_t c, bool controls) {
  using namespace unit_scan;
  // Broadcasts: a vector plus a scalar of its lane type repeats the scalar in every lane.
  const Units8 none{};
  const Units8 va = none + std::uint16_t{a};
  const Units8 vb = none + std::uint16_t{b};
  const Units8 vc = none + std::uint16_t{c};
  const std::uint16_t controlBits = controls ? 0xFFE0 : 0xFFFF;
  const Units8 controlMask = none + controlBits;
  std::size_t i = from;
  for (; i + 8 <= text.size(); i += 8) {
    Units8 block;
    std::memcpy(&block, text.data() + i, sizeof block);
    if (AnyLane((block == va) | (block == vb) | (block == vc) | ((block & controlMask) == none))) {
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
