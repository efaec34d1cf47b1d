#include <algorithm>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "scripture/book_source.h"
#include "scripture/book_source_native.h"
#include "scripture/utf8.h"

namespace companion {
namespace {

// Benchmarks may fetch from several threads, so the shared test state is guarded.
struct NativeBookSource {
  std::mutex lock;
  std::map<std::u16string, std::string> books;
  std::vector<std::u16string> downloads;
};

NativeBookSource& Source() {
  static NativeBookSource source;
  return source;
}

}  // namespace

void SetNativeBibleBook(const std::u16string& path, std::string body) {
  NativeBookSource& source = Source();
  std::lock_guard guard(source.lock);
  source.books[path] = std::move(body);
}

void ClearNativeBibleBooks() {
  NativeBookSource& source = Source();
  std::lock_guard guard(source.lock);
  source.books.clear();
  source.downloads.clear();
}

std::vector<std::u16string> NativeBibleDownloads() {
  NativeBookSource& source = Source();
  std::lock_guard guard(source.lock);
  return source.downloads;
}

std::string DownloadBibleBook(const std::u16string& path) {
  NativeBookSource& source = Source();
  std::lock_guard guard(source.lock);
  source.downloads.push_back(path);
  const auto found = source.books.find(path);
  if (found == source.books.end()) throw std::runtime_error("Bible response unavailable");
  return found->second;
}

int ConvertUtf8ToUtf16(const char* bytes, int byteCount, char16_t* out, int outCapacity) {
  if (bytes == nullptr || byteCount <= 0) return 0;
  const std::string_view input(bytes, static_cast<std::size_t>(byteCount));
  const std::ptrdiff_t length =
      out == nullptr ? MeasureUtf8(input)
                     : DecodeUtf8To(input, out, static_cast<std::size_t>(std::max(outCapacity, 0)));
  return length < 0 ? 0 : static_cast<int>(length);
}

}  // namespace companion
