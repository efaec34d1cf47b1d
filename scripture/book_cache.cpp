#include "scripture/book_cache.h"

#include <algorithm>
#include <exception>
#include <tuple>

namespace companion {

std::u16string CachedBookName(std::u16string_view serverPath) {
  constexpr std::u16string_view kPrefix = u"/bible/v1/";
  std::u16string name(serverPath.starts_with(kPrefix) ? serverPath.substr(kPrefix.size())
                                                      : serverPath);
  std::replace(name.begin(), name.end(), u'/', u'\\');
  return name;
}

const ChapterEntry* PickCachedChapter(std::int32_t translationIndex,
                                      const std::vector<CachedBook>& cached,
                                      std::mt19937& generator) {
  std::vector<const ChapterEntry*> rows;
  std::int64_t total = 0;
  std::u16string_view bookPath;
  bool bookCached = false;
  for (const ChapterEntry& row : ChapterTable) {
    if (row.translationIndex != translationIndex) continue;
    // A book's chapters are neighbours, so each book is looked up once.
    if (bookPath != row.path) {
      bookPath = row.path;
      const std::u16string name = CachedBookName(bookPath);
      bookCached = std::any_of(cached.begin(), cached.end(),
                               [&](const CachedBook& book) { return book.name == name; });
    }
    if (!bookCached) continue;
    rows.push_back(&row);
    total += row.verseCount;
  }
  if (total <= 0) return nullptr;
  std::uniform_int_distribution<std::uint32_t> draw(0, static_cast<std::uint32_t>(total - 1));
  std::int64_t counter = std::int64_t{draw(generator)} + 1;
  for (const ChapterEntry* row : rows) {
    counter -= row->verseCount;
    if (counter <= 0) return row;
  }
  return nullptr;
}

std::vector<std::u16string> CachedBooksToEvict(std::vector<CachedBook> files,
                                               std::uint64_t maxBytes) {
  const auto isBook = [](const CachedBook& file) { return file.name.ends_with(u".json"); };
  // Oldest first; equal times go in name order, so the choice never depends on listing order.
  std::sort(files.begin(), files.end(), [](const CachedBook& a, const CachedBook& b) {
    return std::tie(a.lastUsed, a.name) < std::tie(b.lastUsed, b.name);
  });
  std::uint64_t total = 0;
  for (const CachedBook& file : files)
    if (isBook(file)) total += file.bytes;
  std::vector<std::u16string> evicted;
  for (const CachedBook& file : files) {
    if (!isBook(file)) {
      evicted.push_back(file.name);
    } else if (total > maxBytes) {
      evicted.push_back(file.name);
      total -= file.bytes;
    }
  }
  return evicted;
}

void KeepCachedBook(const std::u16string& folder, const std::u16string& name,
                    const std::string& bytes) {
  try {
    WriteCachedBook(folder, name, bytes);
    // Eviction runs only here, right after this worker's own write, so no write is under way.
    for (const std::u16string& evicted :
         CachedBooksToEvict(ListCachedBooks(folder), kBookCacheMaxBytes))
      RemoveCachedBook(folder, evicted);
  } catch (const std::exception&) {
    // The request goes on with the book it has; only the offline choice misses it.
  }
}

}  // namespace companion
