// Strict UTF-8 decoding, rejecting what Windows' converter rejects when asked to refuse invalid
// input: stray or missing continuation bytes, overlong forms, encoded surrogates and anything
// above U+10FFFF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace companion {

// The number of UTF-16 units `bytes` decodes to, or -1 when it is not valid UTF-8.
std::ptrdiff_t MeasureUtf8(std::string_view bytes);
// Decodes into `out`; returns the units written, or -1 when `bytes` is not valid UTF-8 or
// needs more than `capacity` units.
std::ptrdiff_t DecodeUtf8To(std::string_view bytes, char16_t* out, std::size_t capacity);
// Replaces `out` with the decoded text; false (leaving `out` unspecified) when invalid.
bool DecodeUtf8(std::string_view bytes, std::u16string& out);

}  // namespace companion
