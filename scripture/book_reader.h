// Reader of the Bible server's book files: one JSON object mapping chapter numbers to arrays of
// [verse number, "text"] pairs. Accepts exactly that shape; anything else throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace companion {

struct BibleVerse {
  std::int32_t chapter;
  std::int32_t verse;
  std::u16string text;
};

// Where one verse lies in the joined text of a book.
struct VerseSpan {
  std::size_t start;  // UTF-16 index into the joined book text
  std::size_t end;    // one past the verse's last unit
  std::int32_t chapter;
  std::int32_t verse;
};

struct BookCursor {
  std::u16string_view text;  // not owned; the caller keeps the book alive
  std::size_t position = 0;  // next unread UTF-16 unit
};

// Clears `verses` and fills it in document order. Throws a standard exception naming the first
// deviation from the book shape.
std::vector<BibleVerse>& ReadBibleBook(BookCursor& cursor, std::vector<BibleVerse>& verses);
// Reads the book in `text` as ReadBibleBook does, with the same failures, but joins the verse
// texts in document order over the start of `text` itself, each after one space unless the
// joined text is still empty, and fills `spans` (cleared first) with where each verse lies.
// Returns the joined length. On failure `text` is left partly overwritten.
std::size_t JoinBibleBookInPlace(std::span<char16_t> text, std::vector<VerseSpan>& spans);

void SkipSpace(BookCursor& cursor);
// Skips white space, then consumes `c` or throws "Invalid Bible JSON".
void ExpectChar(BookCursor& cursor, char16_t c);
// Reads one JSON string token (after optional white space) into `out` and returns it.
std::u16string& ReadJsonString(BookCursor& cursor, std::u16string& out);

}  // namespace companion
