#include "scripture/utf8.h"

#include <emmintrin.h>

#include <cstdint>

namespace companion {
namespace {

// One decoder for measuring (kWrite false: `out` is ignored) and for writing.
template <bool kWrite>
std::ptrdiff_t Decode(std::string_view bytes, char16_t* out, std::size_t capacity) {
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  std::size_t written = 0;
  const auto emit = [&](char16_t unit) {
    if constexpr (kWrite) {
      if (written == capacity) return false;
      out[written] = unit;
    }
    ++written;
    return true;
  };
  while (i < n) {
    // Books are mostly ASCII: take sixteen such bytes at a time (SSE2, the x86-64 baseline).
    if (n - i >= 16 && (!kWrite || capacity - written >= 16)) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
      if (_mm_movemask_epi8(block) == 0) {  // no byte has its top bit set
        if constexpr (kWrite) {
          // Interleaving with zero bytes widens each byte to a little-endian UTF-16 unit.
          const __m128i zero = _mm_setzero_si128();
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written),
                           _mm_unpacklo_epi8(block, zero));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written + 8),
                           _mm_unpackhi_epi8(block, zero));
        }
        written += 16;
        i += 16;
        continue;
      }
    }
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    if (lead < 0x80) {
      if (!emit(lead)) return -1;
      ++i;
      continue;
    }
    std::size_t length;
    char32_t code;
    // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return -1;
    }
    if (n - i < length) return -1;
    for (std::size_t k = 1; k < length; ++k) {
      const auto b = static_cast<std::uint8_t>(bytes[i + k]);
      if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return -1;
      code = (code << 6) | (b & 0x3F);
    }
    i += length;
    if (code < 0x10000) {
      if (!emit(static_cast<char16_t>(code))) return -1;
    } else {
      code -= 0x10000;
      if (!emit(static_cast<char16_t>(0xD800 + (code >> 10))) ||
          !emit(static_cast<char16_t>(0xDC00 + (code & 0x3FF)))) {
        return -1;
      }
    }
  }
  return static_cast<std::ptrdiff_t>(written);
}

}  // namespace

std::ptrdiff_t MeasureUtf8(std::string_view bytes) {
  return Decode<false>(bytes, nullptr, 0);
}

std::ptrdiff_t DecodeUtf8To(std::string_view bytes, char16_t* out, std::size_t capacity) {
  return Decode<true>(bytes, out, capacity);
}

bool DecodeUtf8(std::string_view bytes, std::u16string& out) {
  // No byte yields more than one UTF-16 unit, so the byte count bounds the output.
  out.resize(bytes.size());
  const std::ptrdiff_t length = Decode<true>(bytes, out.data(), out.size());
  if (length < 0) return false;
  out.resize(static_cast<std::size_t>(length));
  return true;
}

}  // namespace companion
