// The character classes that reading and cutting Scripture rely on, identical on every platform:
// the sets below U+0100 are fixed here, above it Unicode's general categories decide.
#pragma once

namespace companion {

// U+0009-U+000D, U+0020, U+0085, U+00A0, and the space separators (Zs, Zl, Zp).
bool IsSpace(char16_t c);
// A-Z, U+00C0-U+00DE except U+00D7, and the upper-case letters (Lu).
bool IsUpper(char16_t c);
// 0-9, U+00B2, U+00B3, U+00B9, and the decimal digits (Nd).
bool IsDigit(char16_t c);

}  // namespace companion
