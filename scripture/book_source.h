// The two platform steps of an online request, as link-time seams: the program links the
// Windows definitions (WinHTTP, MultiByteToWideChar); native tests link an in-memory book
// source and the portable decoder.
#pragma once

#include <cstddef>
#include <string>

namespace companion {

// The largest book body accepted, in bytes after transport decoding.
inline constexpr std::size_t kMaxBibleBookBytes = 8 * 1024 * 1024;

// Whether a body may be held to the response's Content-Length to catch a connection cut short.
// Only a body nothing can have decoded compares: where the HTTP stack decodes gzip, the header
// may still give the compressed size, and every compressed book would be refused.
constexpr bool BodyComparesToContentLength(bool stackMayDecode, bool hasContentEncoding) {
  return !stackMayDecode && !hasContentEncoding;
}

// The body of the Bible server's file at `path` (for example "/bible/v1/web/GEN.json"), after
// transport decoding. Throws std::runtime_error naming the failure.
std::string DownloadBibleBook(const std::u16string& path);

// Converts UTF-8 with invalid sequences rejected, with the contract of Windows'
// MultiByteToWideChar: with `out` null, returns the UTF-16 length needed; otherwise writes at
// most `outCapacity` units and returns the number written. Returns 0 for invalid input.
int ConvertUtf8ToUtf16(const char* bytes, int byteCount, char16_t* out, int outCapacity);

}  // namespace companion
