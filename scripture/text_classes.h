// The character classes that reading and cutting Scripture rely on, identical on every platform:
// the sets below U+0100 are fixed here, above it Unicode's general categories decide.
#pragma once

namespace companion {

// The classes above U+00FF, from Unicode's general categories.
bool IsSpaceAboveLatin1(char16_t c);
bool IsUpperAboveLatin1(char16_t c);
bool IsDigitAboveLatin1(char16_t c);

// U+0009-U+000D, U+0020, U+0085, U+00A0, and the space separators (Zs, Zl, Zp).
inline bool IsSpace(char16_t c) {
  if (c < 0x100) return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0;
  return IsSpaceAboveLatin1(c);
}
// A-Z, U+00C0-U+00DE except U+00D7, and the upper-case letters (Lu).
inline bool IsUpper(char16_t c) {
  if (c < 0x100) return (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
  return IsUpperAboveLatin1(c);
}
// 0-9, U+00B2, U+00B3, U+00B9, and the decimal digits (Nd).
inline bool IsDigit(char16_t c) {
  if (c < 0x100) return (c >= u'0' && c <= u'9') || c == 0xB2 || c == 0xB3 || c == 0xB9;
  return IsDigitAboveLatin1(c);
}

}  // namespace companion
