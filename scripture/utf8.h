// Strict UTF-8 decoding, rejecting what Windows' converter rejects when asked to refuse invalid
// input: stray or missing continuation bytes, overlong forms, encoded surrogates and anything
// above U+10FFFF.
#pragma once

#include <string>
#include <string_view>

namespace companion {

// Replaces `out` with the UTF-16 form of `bytes`; returns false (leaving `out` unspecified)
// when `bytes` is not valid UTF-8.
bool DecodeUtf8(std::string_view bytes, std::u16string& out);

}  // namespace companion
