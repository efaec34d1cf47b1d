// Block-at-a-time search over UTF-16 text for the few units that end a run of ordinary text,
// eight units per 128-bit step. Reading and cutting a whole book is mostly such runs.
#pragma once

#include <emmintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace companion {

// The index of the first unit at or after `from` that is `a`, `b` or `c`, or below U+0020 when
// `controls` is set; text.size() when there is none.
inline std::size_t FindFirstUnit(std::u16string_view text, std::size_t from, char16_t a, char16_t b,
                                 char16_t c, bool controls) {
  // SSE2, the x86-64 baseline of every compiler. A unit is a control when its bits above the
  // low five are clear; without `controls` the masked unit (always 0) is compared with 1.
  const __m128i va = _mm_set1_epi16(static_cast<short>(a));
  const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
  const __m128i vc = _mm_set1_epi16(static_cast<short>(c));
  const __m128i controlMask = _mm_set1_epi16(static_cast<short>(controls ? 0xFFE0 : 0));
  const __m128i controlValue = _mm_set1_epi16(controls ? 0 : 1);
  std::size_t i = from;
  for (; i + 8 <= text.size(); i += 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi16(block, va), _mm_cmpeq_epi16(block, vb)),
        _mm_or_si128(_mm_cmpeq_epi16(block, vc),
                     _mm_cmpeq_epi16(_mm_and_si128(block, controlMask), controlValue)));
    // Two mask bits per unit: the lowest set bit, halved, is the first unit that matched.
    if (const int mask = _mm_movemask_epi8(hits); mask != 0) {
      return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))) / 2;
    }
  }
  for (; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u == a || u == b || u == c || (controls && u < 0x20)) return i;
  }
  return text.size();
}

}  // namespace companion
