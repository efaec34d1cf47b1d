// The work of one online Scripture request: a chapter chosen by verse weight, its book fetched
// and read, the running text cut into sentences, and one complete sentence of readable length
// chosen that differs from the reference shown last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "scripture/book_reader.h"
#include "scripture/book_source.h"
#include "scripture/catalogue.h"

namespace companion {

struct OnlineVerse {
  bool ok = false;
  std::int32_t translationIndex = 0;  // set even when `ok` is false
  std::u16string text;
  std::u16string reference;  // "John 3:16" or "1 Peter 5:6-7"
};

// A passage by its place in a book's joined text (JoinBibleBookInPlace): its text is copied out
// only when it is wanted.
struct PassageRange {
  std::size_t start;
  std::size_t end;
  std::int32_t chapter;
  std::int32_t firstVerse;
  std::int32_t lastVerse;
};

inline constexpr std::size_t kMinPassageLength = 40;
inline constexpr std::size_t kMaxPassageLength = 550;

// Never throws for a network, data or memory failure: those end with `ok` false. With a cache
// folder, a downloaded book is kept there, and when the download or the book fails the passage
// comes from the books kept there; an empty folder keeps and offers nothing.
OnlineVerse FetchOnlineVerse(std::int32_t translationIndex, std::uint32_t seed,
                             std::u16string previousReference, std::u16string bookCacheFolder = {});

// The chapter whose verses hold draw `r` (0 <= r < total verses of the translation), walking
// the translation's rows in table order. Throws "Invalid translation" for an unknown index.
const ChapterEntry& ChapterForDraw(std::int32_t translationIndex, std::uint32_t r);
// Draws the chapter of a request, weighted by verse count, from `generator`.
const ChapterEntry& PickWeightedChapter(std::int32_t translationIndex, std::mt19937& generator);

// The complete sentences of readable length that stay inside one chapter, in text order.
std::vector<PassageRange> FindPassages(std::u16string_view joined,
                                       const std::vector<VerseSpan>& spans);

}  // namespace companion
