#include "scripture/book_reader.h"

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <tuple>
#include <utility>

namespace companion {
namespace {

using Verse = std::tuple<std::int32_t, std::int32_t, std::u16string>;  // chapter, verse, text

std::vector<Verse> Read(std::u16string_view book) {
  BookCursor cursor{book};
  std::vector<BibleVerse> read;
  ReadBibleBook(cursor, read);
  std::vector<Verse> verses;
  for (const BibleVerse& v : read)
    verses.emplace_back(v.chapter, v.verse, v.text);
  return verses;
}

// The joined text (one space before each verse once it is not empty), each span as its verse.
std::pair<std::u16string, std::vector<Verse>> ReadJoined(std::u16string_view book) {
  std::u16string text(book);
  std::vector<VerseSpan> spans = {{0, 5, 9, 9}};  // filled anew
  text.resize(JoinBibleBookInPlace(text, spans));
  std::vector<Verse> verses;
  for (const VerseSpan& s : spans)
    verses.emplace_back(s.chapter, s.verse, text.substr(s.start, s.end - s.start));
  return {text, verses};
}

std::string ErrorOf(auto read, std::u16string_view book) {
  try {
    read(book);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(ReadBibleBookTest, EveryDeviationNamesItsErrorAndEveryAcceptedShapeReads) {
  const std::pair<std::u16string, std::string> kErrors[] = {
      {u"\uFEFF{\"1\": [[1, \"a\"]]}", "Invalid Bible JSON"},  // a byte order mark is no space
      {u"{\"1\": [], \"2\": []}", "Missing Bible book"},
      {u"{\"1\": [[1, \"a\"]]}x", "Missing Bible book"},
      {u"{\"1\": [[-1, \"a\"]]}", "Missing verse number"},
      {u"{\"1\": [[100001, \"a\"]]}", "Invalid verse"},
      {u"{\"1\": [[1, \"abc", "Unterminated Bible text"},
      {u"{\"1\": [[1, \"a\tb\"]]}", "Invalid control character"},
      {u"{\"1\": [[1, \"\\'\"]]}", "Invalid JSON escape"},
      {u"{\"1\": [[1, \"\\u00g9\"]]}", "Invalid escape"},
      {u"{\"1\": [[1, \"\\u00", "Short escape"},
      {u"{\"a\": [[1, \"a\"]]}", "invalid stoi argument"},
      {u"{\"2147483648\": [[1, \"a\"]]}", "stoi argument out of range"},
  };
  for (const auto& [book, message] : kErrors)
    EXPECT_EQ(std::pair(ErrorOf(Read, book), ErrorOf(ReadJoined, book)),
              std::pair(message, message))
        << ::testing::PrintToString(book);
  const std::pair<std::u16string, std::vector<Verse>> kCases[] = {
      {u"\r\n\u00A0{ \"3\"\u00A0: [ [ 4 ,\u3000\"a\" ] , [ 5 , \"b\" ] ] , \"4\" : [ ] }\u2028",
       {{3, 4, u"a"}, {3, 5, u"b"}}},
      // Keys in any order, as stoi reads them.
      {u"{\" 9\": [[2, \"b\"]], \"+1ab\": [[1, \"a\"]], \"9\": [[1, \"c\"]], \"-2147483648\": [[1, "
       u"\"d\"]]}",
       {{9, 2, u"b"}, {1, 1, u"a"}, {9, 1, u"c"}, {-2147483647 - 1, 1, u"d"}}},
      {u"{\"1\": [[100000, \"a\"], [007, \"b\"], [0, \"c\"]]}",
       {{1, 100000, u"a"}, {1, 7, u"b"}, {1, 0, u"c"}}},
      {u"{\"1\": [[1, \"\\\"\\/\\\\\\b\\f\\n\\r\\t\\u00e9\\u00E9\\u201c\\ud83d\\ude00\\u0000!\"]]}",
       {{1, 1, std::u16string(u"\"/\\\b\f\n\r\t\u00E9\u00E9\u201C\U0001F600\0!", 15)}}},
      {u"{\"1\": [[1, \"\u00B6\x7F\U0001F600\\udc00\"]]}", {{1, 1, u"\u00B6\x7F\U0001F600\xDC00"}}},
      // Escapes shorten the texts, so later ones move further back over their source.
      {u"{\"1\": [[1, \"\"], [2, \"a\\n\"]], \"2\": [[1, \"\"], [2, \"\\u0041b\"]]}",
       {{1, 1, u""}, {1, 2, u"a\n"}, {2, 1, u""}, {2, 2, u"Ab"}}},
      // Writing follows reading as closely as the shape allows.
      {u"{\"1\":[[1,\"abcdefghij\"],[2,\"klmnopqrstu\"],[3,\"v\"]]}",
       {{1, 1, u"abcdefghij"}, {1, 2, u"klmnopqrstu"}, {1, 3, u"v"}}},
  };
  for (const auto& [book, expected] : kCases) {
    SCOPED_TRACE(::testing::PrintToString(book));
    std::u16string joined;
    for (const auto& [chapter, verse, text] : expected)
      joined += (joined.empty() ? u"" : u" ") + text;
    EXPECT_EQ(Read(book), expected);
    EXPECT_EQ(ReadJoined(book), std::pair(joined, expected));
  }
}

}  // namespace
}  // namespace companion
