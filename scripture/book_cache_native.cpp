// The book cache's file operations for native tests: files in memory, keyed by folder and name,
// with a counter for a clock so that every write or use is later than the one before.
#include <map>
#include <stdexcept>
#include <utility>

#include "scripture/book_cache.h"

namespace companion {
namespace {

struct NativeCachedFile {
  std::string bytes;
  std::uint64_t lastUsed = 0;
};

struct NativeBookCache {
  std::map<std::pair<std::u16string, std::u16string>, NativeCachedFile> files;
  std::uint64_t clock = 0;
};

NativeBookCache& Cache() {
  static NativeBookCache cache;
  return cache;
}

}  // namespace

std::vector<CachedBook> ListCachedBooks(const std::u16string& folder) {
  std::vector<CachedBook> books;
  for (const auto& [key, file] : Cache().files)
    if (key.first == folder) books.push_back({key.second, file.bytes.size(), file.lastUsed});
  return books;
}

std::string ReadCachedBook(const std::u16string& folder, const std::u16string& name) {
  const auto found = Cache().files.find({folder, name});
  if (found == Cache().files.end()) throw std::runtime_error("Cannot read cached book");
  return found->second.bytes;
}

void WriteCachedBook(const std::u16string& folder, const std::u16string& name,
                     const std::string& bytes) {
  NativeBookCache& cache = Cache();
  cache.files[{folder, name}] = {bytes, ++cache.clock};
}

void RemoveCachedBook(const std::u16string& folder, const std::u16string& name) {
  Cache().files.erase({folder, name});
}

void MarkCachedBookUsed(const std::u16string& folder, const std::u16string& name) {
  NativeBookCache& cache = Cache();
  const auto found = cache.files.find({folder, name});
  if (found != cache.files.end()) found->second.lastUsed = ++cache.clock;
}

}  // namespace companion
