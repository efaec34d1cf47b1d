// The HTTPS client of the Bible server (WinHTTP). DownloadBibleBook, declared in book_source.h,
// fetches from the maker's server; this form takes the host and port so tests can use loopback.
#pragma once

#include <string>

namespace companion {

inline constexpr char16_t kBibleClientUserAgent[] = u"ScrollwickCompanion/1.3";

// One synchronous GET of `path`: no redirects, gzip and deflate decoding requested, status 200
// only, at most kMaxBibleBookBytes after decoding. Throws std::runtime_error naming the failure.
std::string DownloadBibleBookFrom(const std::u16string& host, unsigned short port,
                                  const std::u16string& path);

// From another thread: closes the request of the download in flight, so that its wait ends at
// once and it throws. Does nothing when none is in flight.
void CancelBibleDownload();

}  // namespace companion
