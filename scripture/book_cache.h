// Books kept from earlier downloads, so that a companion that cannot reach its server still shows
// real passages. A kept book is the server's file byte for byte, at "<folder>\<code>\<BOOK>.json".
// Only the worker of a request reads or writes the folder, and two companions never run at once,
// so nothing guards it.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "scripture/catalogue.h"

namespace companion {

// The five translations' books take about 22 MB, so the bound only bites if they grow.
inline constexpr std::uint64_t kBookCacheMaxBytes = 32 * 1024 * 1024;

struct CachedBook {
  std::u16string name;  // relative to the cache folder, as CachedBookName gives it
  std::uint64_t bytes = 0;
  std::uint64_t lastUsed = 0;  // a time: greater is more recent
};

// Where the book at a server path is kept: "/bible/v1/kjv/GEN.json" -> "kjv\GEN.json".
std::u16string CachedBookName(std::u16string_view serverPath);

// Draws a chapter of the translation among the books named in `cached`, weighted by verse count,
// as an online request draws among all; null when no book of the translation is cached.
const ChapterEntry* PickCachedChapter(std::int32_t translationIndex,
                                      const std::vector<CachedBook>& cached,
                                      std::mt19937& generator);

// The files to remove so that the books fit in `maxBytes`: anything not named like a book (a
// temporary file that a killed write left behind), then the least recently used books.
std::vector<std::u16string> CachedBooksToEvict(std::vector<CachedBook> files,
                                               std::uint64_t maxBytes);

// Keeps a downloaded book that read cleanly and evicts what no longer fits. Never throws: a
// failing cache only loses what it would have offered offline.
void KeepCachedBook(const std::u16string& folder, const std::u16string& name,
                    const std::string& bytes);

// The platform's file operations, as link-time seams (book_cache_win.cpp for the program;
// book_cache_native.cpp keeps the files in memory for native tests). Names are relative to
// `folder`.
// Every file one folder below `folder`; nothing when it does not exist.
std::vector<CachedBook> ListCachedBooks(const std::u16string& folder);
// The whole file, at most kMaxBibleBookBytes. Throws std::runtime_error when it cannot be read.
std::string ReadCachedBook(const std::u16string& folder, const std::u16string& name);
// Writes a temporary file and moves it over the book in one step, so a reader finds the old file
// or the new one, never part of one. Throws std::runtime_error on failure.
void WriteCachedBook(const std::u16string& folder, const std::u16string& name,
                     const std::string& bytes);
// Both ignore failure.
void RemoveCachedBook(const std::u16string& folder, const std::u16string& name);
void MarkCachedBookUsed(const std::u16string& folder, const std::u16string& name);

}  // namespace companion
