// Control of the in-memory book source that native tests, benchmarks and fuzzers link in place
// of the Bible server.
#pragma once

#include <string>
#include <vector>

namespace companion {

// Serves `body` for `path` until the books are cleared. Paths with no book answer as a missing
// file does: "Bible response unavailable".
void SetNativeBibleBook(const std::u16string& path, std::string body);
void ClearNativeBibleBooks();
// The paths asked for since the books were last cleared, in order.
std::vector<std::u16string> NativeBibleDownloads();

}  // namespace companion
