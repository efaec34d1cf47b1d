#include "scripture/passage.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <utility>
#include <string_view>

#include "scripture/book_cache.h"
#include "scripture/book_source.h"
#include "scripture/text_classes.h"
#include "scripture/unit_scan.h"

namespace companion {
namespace {

constexpr char16_t kPilcrow = u'\u00B6';

struct ByTranslation {
  bool operator()(const ChapterEntry& row, std::int32_t t) const {
    return row.translationIndex < t;
  }
  bool operator()(std::int32_t t, const ChapterEntry& row) const {
    return t < row.translationIndex;
  }
};

// The rows of one translation: the table is translation-major, so they are contiguous.
std::span<const ChapterEntry> TranslationRows(std::int32_t translationIndex) {
  const auto [first, last] =
      std::equal_range(ChapterTable.begin(), ChapterTable.end(), translationIndex, ByTranslation{});
  return {first, last};
}

bool IsClosingMark(char16_t c) {
  return c == u'"' || c == u'\'' || c == u')' || c == u']' || c == u'\u2019' || c == u'\u201D';
}

// Characters that may open a sentence without deciding whether it starts properly.
bool IsInsignificant(char16_t c) {
  return IsSpace(c) || IsClosingMark(c) || c == u'\u201C' || c == u'\u2018' || c == u'[' ||
         c == u'-' || c == u'\u2014' || c == u'\u2013';
}

bool StartsProperly(std::u16string_view sentence) {
  const auto first = std::find_if_not(sentence.begin(), sentence.end(), IsInsignificant);
  return first != sentence.end() && (IsUpper(*first) || IsDigit(*first));
}

// The span holding position p: the first whose end lies past p, or null. Sentences are looked
// up in text order, so the search walks on from the span found last (`hint`) instead of
// searching the whole list each time.
const VerseSpan* SpanAt(const std::vector<VerseSpan>& spans, std::size_t p, std::size_t& hint) {
  while (hint < spans.size() && spans[hint].end <= p)
    ++hint;
  return hint == spans.size() ? nullptr : &spans[hint];
}

void AppendNumber(std::u16string& out, std::int32_t n) {
  for (char c : std::to_string(n))
    out.push_back(static_cast<char16_t>(c));
}

// Replaces `out` with the reference, reusing its storage.
void WriteReference(std::u16string& out, const std::u16string& bookName, std::int32_t chapter,
                    std::int32_t firstVerse, std::int32_t lastVerse) {
  out.assign(bookName);
  out.push_back(u' ');
  AppendNumber(out, chapter);
  out.push_back(u':');
  AppendNumber(out, firstVerse);
  if (lastVerse != firstVerse) {
    out.push_back(u'-');
    AppendNumber(out, lastVerse);
  }
}

// The decoded book, left uninitialised until the conversion writes it: zero-filling half a
// megabyte first would cost as much as a good part of the reading.
struct BookText {
  std::unique_ptr<char16_t[]> units;
  std::size_t length = 0;
};

BookText DecodeBook(const std::string& body) {
  const char* bytes = body.data();
  const int byteCount = static_cast<int>(body.size());
  const int length = ConvertUtf8ToUtf16(bytes, byteCount, nullptr, 0);
  if (length <= 0) throw std::runtime_error("Invalid Bible encoding");
  BookText text{std::unique_ptr<char16_t[]>(new char16_t[static_cast<std::size_t>(length)]),
                static_cast<std::size_t>(length)};
  if (ConvertUtf8ToUtf16(bytes, byteCount, text.units.get(), length) != length) {
    throw std::runtime_error("Invalid Bible encoding");
  }
  return text;
}

// A book read and joined: the text its passages are cut from and where each verse lies. The
// view points into `text`, whose units stay put when the record moves.
struct JoinedBook {
  BookText text;
  std::vector<VerseSpan> spans;
  std::u16string_view joined;
};

JoinedBook ReadBook(const std::string& body) {
  if (body.empty() || body.size() > kMaxBibleBookBytes) {
    throw std::runtime_error("Invalid Bible response size");
  }
  JoinedBook book{DecodeBook(body), {}, {}};
  // The verse texts are joined over the decoded book as it is read, so the book never exists as
  // one string per verse nor twice over, and only the chosen passage's text is copied out.
  book.joined = {book.text.units.get(),
                 JoinBibleBookInPlace({book.text.units.get(), book.text.length}, book.spans)};
  return book;
}

// Downloads the row's book; one that reads cleanly is also kept for offline use, which is why the
// body outlives the reading.
JoinedBook FetchBook(const ChapterEntry& row, const std::u16string& bookCacheFolder) {
  const std::string body = DownloadBibleBook(row.path);
  JoinedBook book = ReadBook(body);
  if (!bookCacheFolder.empty()) KeepCachedBook(bookCacheFolder, CachedBookName(row.path), body);
  return book;
}

OnlineVerse ChoosePassage(std::int32_t translationIndex, const ChapterEntry& row,
                          const JoinedBook& book, const std::u16string& previousReference,
                          std::mt19937& generator) {
  const std::vector<PassageRange> passages = FindPassages(book.joined, book.spans);
  const std::u16string bookName = row.bookName;
  std::u16string reference;
  const auto differsFromPrevious = [&](const PassageRange& p) {
    WriteReference(reference, bookName, p.chapter, p.firstVerse, p.lastVerse);
    return reference != previousReference;
  };
  std::vector<std::size_t> candidates;
  for (std::size_t i = 0; i < passages.size(); ++i) {
    if (passages[i].chapter == row.chapter && differsFromPrevious(passages[i])) {
      candidates.push_back(i);
    }
  }
  if (candidates.empty()) {
    for (std::size_t i = 0; i < passages.size(); ++i) {
      if (differsFromPrevious(passages[i])) candidates.push_back(i);
    }
  }
  if (candidates.empty()) throw std::runtime_error("No complete sentence in selected book");
  std::uniform_int_distribution<std::uint32_t> pick(
      0, static_cast<std::uint32_t>(candidates.size() - 1));
  const PassageRange& chosen = passages[candidates[pick(generator)]];
  WriteReference(reference, bookName, chosen.chapter, chosen.firstVerse, chosen.lastVerse);
  return {true, translationIndex,
          std::u16string(book.joined.substr(chosen.start, chosen.end - chosen.start)),
          std::move(reference)};
}

OnlineVerse ChooseOnlineVerse(std::int32_t translationIndex, std::uint32_t seed,
                              const std::u16string& previousReference,
                              const std::u16string& bookCacheFolder) {
  std::mt19937 generator(seed);
  const ChapterEntry& row = PickWeightedChapter(translationIndex, generator);
  return ChoosePassage(translationIndex, row, FetchBook(row, bookCacheFolder), previousReference,
                       generator);
}

// A passage from the books kept by earlier downloads, chosen by the online rules. A kept file
// that no longer reads is removed, and the chapter drawn again among the rest.
OnlineVerse ChooseCachedVerse(std::int32_t translationIndex, std::uint32_t seed,
                              const std::u16string& previousReference,
                              const std::u16string& folder) {
  std::mt19937 generator(seed);
  std::vector<CachedBook> cached = ListCachedBooks(folder);
  while (const ChapterEntry* row = PickCachedChapter(translationIndex, cached, generator)) {
    const std::u16string name = CachedBookName(row->path);
    std::optional<JoinedBook> book;
    try {
      book.emplace(ReadBook(ReadCachedBook(folder, name)));
    } catch (const std::bad_alloc&) {
      throw;  // says nothing about the file
    } catch (const std::exception&) {
      RemoveCachedBook(folder, name);
      std::erase_if(cached, [&](const CachedBook& b) { return b.name == name; });
      continue;
    }
    MarkCachedBookUsed(folder, name);
    return ChoosePassage(translationIndex, *row, *book, previousReference, generator);
  }
  throw std::runtime_error("No cached book");
}

}  // namespace

const ChapterEntry& ChapterForDraw(std::int32_t translationIndex, std::uint32_t r) {
  const auto rows = TranslationRows(translationIndex);
  if (rows.empty()) throw std::runtime_error("Invalid translation");
  std::int64_t counter = std::int64_t{r} + 1;
  for (const ChapterEntry& row : rows) {
    counter -= row.verseCount;
    if (counter <= 0) return row;
  }
  throw std::out_of_range("Chapter draw past the last verse");
}

const ChapterEntry& PickWeightedChapter(std::int32_t translationIndex, std::mt19937& generator) {
  std::int64_t total = 0;
  for (const ChapterEntry& row : TranslationRows(translationIndex))
    total += row.verseCount;
  if (total <= 0) throw std::runtime_error("Invalid translation");
  std::uniform_int_distribution<std::uint32_t> draw(0, static_cast<std::uint32_t>(total - 1));
  return ChapterForDraw(translationIndex, draw(generator));
}

OnlineVerse FetchOnlineVerse(std::int32_t translationIndex, std::uint32_t seed,
                             std::u16string previousReference, std::u16string bookCacheFolder) {
  try {
    return ChooseOnlineVerse(translationIndex, seed, previousReference, bookCacheFolder);
  } catch (const std::exception&) {
    // Whatever failed, the server or its book, the kept books may still serve.
  }
  if (!bookCacheFolder.empty()) {
    try {
      return ChooseCachedVerse(translationIndex, seed, previousReference, bookCacheFolder);
    } catch (const std::exception&) {
      // Nothing kept serves either; the caller shows an offline verse.
    }
  }
  OnlineVerse failed;
  failed.translationIndex = translationIndex;
  return failed;
}

std::vector<PassageRange> FindPassages(std::u16string_view joined,
                                       const std::vector<VerseSpan>& spans) {
  std::vector<PassageRange> passages;
  const std::size_t n = joined.size();
  std::size_t s = 0;
  std::size_t i = 0;
  std::size_t spanHint = 0;
  while ((i = FindFirstUnit(joined, i, u'.', u'?', u'!', false)) < n) {
    const char16_t c = joined[i];
    const bool period = c == u'.';
    // No period of a run of two or more ends a sentence, so an ellipsis runs on.
    if (period && ((i > 0 && joined[i - 1] == u'.') || (i + 1 < n && joined[i + 1] == u'.'))) {
      ++i;
      continue;
    }
    std::size_t e = i + 1;
    while (e < n && IsClosingMark(joined[e]))
      ++e;
    if (e < n && !IsSpace(joined[e])) {
      ++i;
      continue;
    }
    while (s < e && (IsSpace(joined[s]) || joined[s] == kPilcrow))
      ++s;
    const std::size_t length = e - s;
    if (period && length >= kMinPassageLength && length <= kMaxPassageLength &&
        StartsProperly(joined.substr(s, length))) {
      const VerseSpan* first = SpanAt(spans, s, spanHint);
      const VerseSpan* last = SpanAt(spans, e - 1, spanHint);
      if (first != nullptr && last != nullptr && first->chapter == last->chapter) {
        passages.push_back({s, e, first->chapter, first->verse, last->verse});
      }
    }
    s = e;
    i = e;
  }
  return passages;
}

}  // namespace companion
