#pragma once
// The one place where text crosses between the portable UTF-16 strings and the wide-character
// Windows API. On Windows wchar_t is a 16-bit UTF-16 unit, so the two views alias exactly; the
// MinGW build compiles with -fno-strict-aliasing for that reason.
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be a UTF-16 code unit");

namespace companion {

inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline const wchar_t* AsWide(const std::u16string& text) {
  return AsWide(text.c_str());
}
inline wchar_t* AsWritableWide(char16_t* text) {
  return reinterpret_cast<wchar_t*>(text);
}

inline const char16_t* AsU16(const wchar_t* text) {
  return reinterpret_cast<const char16_t*>(text);
}
inline std::u16string ToU16(const wchar_t* text) {
  return std::u16string(AsU16(text));
}

}  // namespace companion
