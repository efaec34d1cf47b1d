// Reads arbitrary input as a book file: UTF-8 when it decodes, otherwise the raw bytes as UTF-16
// units. Reading into a verse list and joining the verses in place must fail alike or agree
// verse for verse; a book that reads must also cut into passages that keep their limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "scripture/book_reader.h"
#include "scripture/passage.h"
#include "scripture/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace companion;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::u16string text;
  if (!DecodeUtf8(bytes, text)) {
    text.clear();
    for (std::size_t i = 0; i + 1 < size; i += 2) {
      text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
  }
  BookCursor cursor{text};
  std::vector<BibleVerse> verses;
  std::string error;
  try {
    ReadBibleBook(cursor, verses);
  } catch (const std::exception& e) {
    error = e.what();
  }
  std::u16string joined = text;
  std::vector<VerseSpan> spans;
  std::string joinedError;
  try {
    joined.resize(JoinBibleBookInPlace(joined, spans));
  } catch (const std::exception& e) {
    joinedError = e.what();
  }
  if (error != joinedError) std::abort();
  if (!error.empty()) return 0;
  if (verses.empty() || cursor.position != text.size()) std::abort();
  if (spans.size() != verses.size()) std::abort();
  for (std::size_t i = 0; i < verses.size(); ++i) {
    const VerseSpan& span = spans[i];
    if (span.chapter != verses[i].chapter || span.verse != verses[i].verse ||
        joined.compare(span.start, span.end - span.start, verses[i].text) != 0) {
      std::abort();
    }
  }
  for (const PassageRange& p : FindPassages(joined, spans)) {
    if (p.end - p.start < kMinPassageLength || p.end - p.start > kMaxPassageLength) std::abort();
  }
  return 0;
}
