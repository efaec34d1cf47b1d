#include "scripture/book_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

#include "scripture/text_classes.h"
#include "scripture/unit_scan.h"

namespace companion {
namespace {

constexpr std::int32_t kMaxVerseNumber = 100000;

[[noreturn]] void Fail(const char* message) {
  throw std::runtime_error(message);
}

bool AtEnd(const BookCursor& cursor) {
  return cursor.position >= cursor.text.size();
}

char16_t Peek(const BookCursor& cursor) {
  return cursor.text[cursor.position];
}

// The conversion of a chapter key behaves as the C library's string-to-long in base 10 does
// where long is 32 bits: leading white space, an optional sign, then digits up to the first
// other character. The exceptions are the standard ones, with one text on every platform.
std::int32_t ChapterFromKey(std::u16string_view key) {
  std::size_t i = 0;
  while (i < key.size() && IsSpace(key[i]))
    ++i;
  bool negative = false;
  if (i < key.size() && (key[i] == u'+' || key[i] == u'-')) negative = key[i++] == u'-';
  const std::size_t firstDigit = i;
  // Capped just past the 32-bit range, so the accumulation itself cannot overflow.
  constexpr std::int64_t kCap = (std::int64_t{1} << 31) + 1;
  std::int64_t magnitude = 0;
  for (; i < key.size() && key[i] >= u'0' && key[i] <= u'9'; ++i) {
    magnitude = std::min(magnitude * 10 + (key[i] - u'0'), kCap);
  }
  if (i == firstDigit) throw std::invalid_argument("invalid stoi argument");
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw std::out_of_range("stoi argument out of range");
  }
  return static_cast<std::int32_t>(value);
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

char16_t ReadUnicodeEscape(BookCursor& cursor) {
  unsigned value = 0;
  for (int digit = 0; digit < 4; ++digit) {
    if (AtEnd(cursor)) Fail("Short escape");
    const int hex = HexValue(cursor.text[cursor.position++]);
    if (hex < 0) Fail("Invalid escape");
    value = value * 16 + static_cast<unsigned>(hex);
  }
  return static_cast<char16_t>(value);
}

char16_t ReadEscape(BookCursor& cursor) {
  if (AtEnd(cursor)) Fail("Unterminated Bible text");
  const char16_t e = cursor.text[cursor.position++];
  switch (e) {
    case u'"':
    case u'/':
    case u'\\':
      return e;
    case u'b':
      return u'\b';
    case u'f':
      return u'\f';
    case u'n':
      return u'\n';
    case u'r':
      return u'\r';
    case u't':
      return u'\t';
    case u'u':
      return ReadUnicodeEscape(cursor);
    default:
      Fail("Invalid JSON escape");
  }
}

std::int32_t ReadVerseNumber(BookCursor& cursor) {
  std::int32_t number = 0;
  bool anyDigit = false;
  while (!AtEnd(cursor) && Peek(cursor) >= u'0' && Peek(cursor) <= u'9') {
    number = number * 10 + (Peek(cursor) - u'0');
    ++cursor.position;
    anyDigit = true;
    if (number > kMaxVerseNumber) Fail("Invalid verse");
  }
  if (!anyDigit) Fail("Missing verse number");
  return number;
}

// Appends decoded string text to a string.
struct StringOut {
  std::u16string& text;

  void Append(std::u16string_view run) { text.append(run); }
  void Push(char16_t unit) { text.push_back(unit); }
};

// Writes decoded string text over the book's own units, behind the reading position. A run may
// overlap its own source, hence the move.
struct InPlaceOut {
  char16_t* units;
  std::size_t& length;

  void Append(std::u16string_view run) {
    std::memmove(units + length, run.data(), run.size() * sizeof(char16_t));
    length += run.size();
  }
  void Push(char16_t unit) { units[length++] = unit; }
};

// Reads the text of one string token, after its opening quotation mark, through its closing one,
// handing it to `out`. Every unit written takes at least one unit read.
template <typename Out>
void ReadJsonStringBody(BookCursor& cursor, Out out) {
  if (AtEnd(cursor)) Fail("Unterminated Bible text");
  const std::u16string_view text = cursor.text;
  for (;;) {
    // Plain characters are taken in runs: verse texts rarely hold anything else.
    const std::size_t runStart = cursor.position;
    const std::size_t runEnd = FindFirstUnit(text, runStart, u'"', u'\\', u'"', true);
    out.Append(text.substr(runStart, runEnd - runStart));
    cursor.position = runEnd;
    if (AtEnd(cursor)) Fail("Unterminated Bible text");
    const char16_t c = text[cursor.position++];
    if (c == u'"') return;
    if (c != u'\\') Fail("Invalid control character");
    out.Push(ReadEscape(cursor));
    if (AtEnd(cursor)) Fail("Unterminated Bible text");
  }
}

// Collects verses as separate BibleVerse entries.
struct VerseList {
  std::vector<BibleVerse>& verses;
  BibleVerse pending{};

  void Clear() { verses.clear(); }
  bool Empty() const { return verses.empty(); }
  StringOut BeginText() {
    pending.text = {};
    return {pending.text};
  }
  void Add(std::int32_t chapter, std::int32_t verse) {
    pending.chapter = chapter;
    pending.verse = verse;
    verses.push_back(std::move(pending));
  }
};

// Joins the verse texts over the book's units already read. Before a verse's space is written,
// at least "]", ",", "[", a digit and "," have been read since the last unit written, and each
// text unit is written after the units it came from are read, so writing never overtakes reading.
struct InPlaceJoiner {
  char16_t* units;
  std::vector<VerseSpan>& spans;
  std::size_t length = 0;
  std::size_t start = 0;

  void Clear() { spans.clear(); }
  bool Empty() const { return spans.empty(); }
  InPlaceOut BeginText() {
    if (length > 0) units[length++] = u' ';
    start = length;
    return {units, length};
  }
  void Add(std::int32_t chapter, std::int32_t verse) {
    spans.push_back({start, length, chapter, verse});
  }
};

// Reads the pairs of one chapter's array after its "[" has been consumed, through its "]".
template <typename Sink>
void ReadChapterVerses(BookCursor& cursor, std::int32_t chapter, Sink& out) {
  SkipSpace(cursor);
  if (!AtEnd(cursor) && Peek(cursor) == u']') {
    ++cursor.position;
    return;
  }
  for (;;) {
    ExpectChar(cursor, u'[');
    SkipSpace(cursor);
    const std::int32_t verse = ReadVerseNumber(cursor);
    ExpectChar(cursor, u',');
    auto text = out.BeginText();
    ExpectChar(cursor, u'"');
    ReadJsonStringBody(cursor, text);
    ExpectChar(cursor, u']');
    out.Add(chapter, verse);
    SkipSpace(cursor);
    if (AtEnd(cursor)) Fail("Invalid Bible JSON");
    if (Peek(cursor) != u',') break;
    ++cursor.position;
    SkipSpace(cursor);
  }
  if (Peek(cursor) != u']') Fail("Invalid Bible JSON");
  ++cursor.position;
}

template <typename Sink>
void ReadBook(BookCursor& cursor, Sink& out) {
  ExpectChar(cursor, u'{');
  out.Clear();
  std::u16string key;
  for (;;) {
    ReadJsonString(cursor, key);
    const std::int32_t chapter = ChapterFromKey(key);
    ExpectChar(cursor, u':');
    ExpectChar(cursor, u'[');
    ReadChapterVerses(cursor, chapter, out);
    SkipSpace(cursor);
    if (AtEnd(cursor) || Peek(cursor) != u',') break;
    ++cursor.position;
  }
  if (AtEnd(cursor) || Peek(cursor) != u'}') Fail("Invalid Bible JSON");
  ++cursor.position;
  SkipSpace(cursor);
  if (!AtEnd(cursor) || out.Empty()) Fail("Missing Bible book");
}

}  // namespace

void SkipSpace(BookCursor& cursor) {
  while (!AtEnd(cursor) && IsSpace(Peek(cursor)))
    ++cursor.position;
}

void ExpectChar(BookCursor& cursor, char16_t c) {
  SkipSpace(cursor);
  if (AtEnd(cursor) || Peek(cursor) != c) Fail("Invalid Bible JSON");
  ++cursor.position;
}

std::u16string& ReadJsonString(BookCursor& cursor, std::u16string& out) {
  ExpectChar(cursor, u'"');
  out.clear();
  ReadJsonStringBody(cursor, StringOut{out});
  return out;
}

std::vector<BibleVerse>& ReadBibleBook(BookCursor& cursor, std::vector<BibleVerse>& verses) {
  VerseList list{verses};
  ReadBook(cursor, list);
  return verses;
}

std::size_t JoinBibleBookInPlace(std::span<char16_t> text, std::vector<VerseSpan>& spans) {
  BookCursor cursor{std::u16string_view(text.data(), text.size())};
  InPlaceJoiner joiner{text.data(), spans};
  ReadBook(cursor, joiner);
  return joiner.length;
}

}  // namespace companion
