#include "scripture/utf8.h"

#include <cstdint>

namespace companion {

bool DecodeUtf8(std::string_view bytes, std::u16string& out) {
  // No input byte yields more than one UTF-16 unit, so the byte count bounds the output.
  out.resize(bytes.size());
  char16_t* next = out.data();
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    if (lead < 0x80) {
      *next++ = lead;
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
      return false;
    }
    if (n - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto b = static_cast<std::uint8_t>(bytes[i + k]);
      if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return false;
      code = (code << 6) | (b & 0x3F);
    }
    i += length;
    if (code < 0x10000) {
      *next++ = static_cast<char16_t>(code);
    } else {
      code -= 0x10000;
      *next++ = static_cast<char16_t>(0xD800 + (code >> 10));
      *next++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  return true;
}

}  // namespace companion
