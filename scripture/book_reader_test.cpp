#include "scripture/book_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace companion {

static bool operator==(const BibleVerse& a, const BibleVerse& b) {
  return a.chapter == b.chapter && a.verse == b.verse && a.text == b.text;
}
static void PrintTo(const BibleVerse& v, std::ostream* os) {
  *os << v.chapter << ":" << v.verse << " " << ::testing::PrintToString(v.text);
}
static bool operator==(const VerseSpan& a, const VerseSpan& b) {
  return a.start == b.start && a.end == b.end && a.chapter == b.chapter && a.verse == b.verse;
}
static void PrintTo(const VerseSpan& s, std::ostream* os) {
  *os << s.chapter << ":" << s.verse << " [" << s.start << ", " << s.end << ")";
}

namespace {

std::vector<BibleVerse> Read(std::u16string_view text) {
  BookCursor cursor{text};
  std::vector<BibleVerse> verses;
  ReadBibleBook(cursor, verses);
  return verses;
}

struct Joined {
  std::u16string text;
  std::vector<VerseSpan> spans;
};

Joined ReadJoined(std::u16string_view book) {
  std::u16string units(book);
  Joined joined;
  joined.spans = {{0, 5, 9, 9}};  // filled anew
  units.resize(JoinBibleBookInPlace(units, joined.spans));
  joined.text = std::move(units);
  return joined;
}

template <typename Reader>
std::string ErrorOf(Reader read, std::u16string_view text) {
  try {
    read(text);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

struct ErrorCase {
  const char* name;
  std::u16string text;
  const char* message;
};

TEST(ReadBibleBookTest, EveryDeviationNamesItsError) {
  const ErrorCase kCases[] = {
      {"ByteOrderMarkIsNoSpace", u"\uFEFF{\"1\": [[1, \"a\"]]}", "Invalid Bible JSON"},
      {"OnlyEmptyChapters", u"{\"1\": [], \"2\": []}", "Missing Bible book"},
      {"TextAfterBook", u"{\"1\": [[1, \"a\"]]}x", "Missing Bible book"},
      {"SignedVerse", u"{\"1\": [[-1, \"a\"]]}", "Missing verse number"},
      {"VerseTooLarge", u"{\"1\": [[100001, \"a\"]]}", "Invalid verse"},
      {"UnterminatedText", u"{\"1\": [[1, \"abc", "Unterminated Bible text"},
      {"RawTab", u"{\"1\": [[1, \"a\tb\"]]}", "Invalid control character"},
      {"EscapedQuoteMark", u"{\"1\": [[1, \"\\'\"]]}", "Invalid JSON escape"},
      {"NonHexEscape", u"{\"1\": [[1, \"\\u00g9\"]]}", "Invalid escape"},
      {"TextEndsInEscape", u"{\"1\": [[1, \"\\u00", "Short escape"},
      {"LetterKey", u"{\"a\": [[1, \"a\"]]}", "invalid stoi argument"},
      {"KeyAboveRange", u"{\"2147483648\": [[1, \"a\"]]}", "stoi argument out of range"},
  };
  for (const ErrorCase& c : kCases) {
    EXPECT_EQ(ErrorOf(Read, c.text), c.message) << c.name;
    EXPECT_EQ(ErrorOf(ReadJoined, c.text), c.message) << c.name << " joined";
  }
}

struct VerseCase {
  const char* name;
  std::u16string text;
  std::vector<BibleVerse> expected;
};

TEST(ReadBibleBookTest, AcceptedShapes) {
  const VerseCase kCases[] = {
      {"SpaceEverywhere",
       u"\r\n\u00A0{ \"3\"\u00A0: [ [ 4 ,\u3000\"a\" ] , [ 5 , \"b\" ] ] , \"4\" : [ ] }\u2028",
       {{3, 4, u"a"}, {3, 5, u"b"}}},
      {"KeysInAnyOrderAsStoiReadsThem",
       u"{\" 9\": [[2, \"b\"]], \"+1ab\": [[1, \"a\"]], \"9\": [[1, \"c\"]], \"-2147483648\": [[1, "
       u"\"d\"]]}",
       {{9, 2, u"b"}, {1, 1, u"a"}, {9, 1, u"c"}, {-2147483647 - 1, 1, u"d"}}},
      {"VerseNumberLimits",
       u"{\"1\": [[100000, \"a\"], [007, \"b\"], [0, \"c\"]]}",
       {{1, 100000, u"a"}, {1, 7, u"b"}, {1, 0, u"c"}}},
      {"Escapes",
       u"{\"1\": [[1, \"\\\"\\/\\\\\\b\\f\\n\\r\\t\\u00e9\\u00E9\\u201c\\ud83d\\ude00\\u0000!\"]]}",
       {{1, 1, std::u16string(u"\"/\\\b\f\n\r\t\u00E9\u00E9\u201C\U0001F600\0!", 15)}}},
      {"RawNonAsciiDeleteAndLoneSurrogateEscape",
       u"{\"1\": [[1, \"\u00B6\x7F\U0001F600\\udc00\"]]}",
       {{1, 1, u"\u00B6\x7F\U0001F600\xDC00"}}},
      // Escapes shorten the texts, so later ones move further back over their source.
      {"EmptyAndEscapedVersesJoin",
       u"{\"1\": [[1, \"\"], [2, \"a\\n\"]], \"2\": [[1, \"\"], [2, \"\\u0041b\"]]}",
       {{1, 1, u""}, {1, 2, u"a\n"}, {2, 1, u""}, {2, 2, u"Ab"}}},
      // Writing follows reading as closely as the shape allows.
      {"TightlyPackedPairs",
       u"{\"1\":[[1,\"abcdefghij\"],[2,\"klmnopqrstu\"],[3,\"v\"]]}",
       {{1, 1, u"abcdefghij"}, {1, 2, u"klmnopqrstu"}, {1, 3, u"v"}}},
  };
  for (const VerseCase& c : kCases) {
    SCOPED_TRACE(c.name);
    // The joined text puts one space before each verse once it is no longer empty.
    Joined expected;
    for (const BibleVerse& v : c.expected) {
      if (!expected.text.empty()) expected.text += u' ';
      const std::size_t start = expected.text.size();
      expected.text += v.text;
      expected.spans.push_back({start, expected.text.size(), v.chapter, v.verse});
    }
    EXPECT_EQ(Read(c.text), c.expected);
    const Joined joined = ReadJoined(c.text);
    EXPECT_EQ(joined.text, expected.text);
    EXPECT_EQ(joined.spans, expected.spans);
  }
}

}  // namespace
}  // namespace companion
