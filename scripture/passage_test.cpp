#include "scripture/passage.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "scripture/book_cache.h"
#include "scripture/book_source_native.h"

namespace companion {
namespace {

std::u16string Sentence(std::size_t length) {
  return u"A" + std::u16string(length - 2, u'a') + u".";
}

// The one passage a verse yields, or "" when it yields none.
std::u16string PassageOf(const std::u16string& verseText) {
  const std::vector<PassageRange> got = FindPassages(verseText, {{0, verseText.size(), 1, 1}});
  EXPECT_LE(got.size(), 1u);
  return got.empty() ? u"" : verseText.substr(got[0].start, got[0].end - got[0].start);
}

// A book file of the given chapters, each verse numbered from 1.
std::string Book(const std::map<int, std::vector<std::string>>& chapters) {
  std::string json = "{";
  for (const auto& [chapter, texts] : chapters) {
    json += (json.size() > 1 ? ",\"" : "\"") + std::to_string(chapter) + "\": [";
    for (std::size_t v = 0; v < texts.size(); ++v)
      json += (v ? ", [" : "[") + std::to_string(v + 1) + ", \"" + texts[v] + "\"]";
    json += "]";
  }
  return json + "}";
}

// Lengths count after leading space and pilcrows; abbreviations and numbers end no sentence,
// closing brackets and quotes belong to it; the first significant character is upper case or a
// digit.
TEST(FindPassagesTest, LengthLimitsSentenceEndsAndOpenings) {
  for (const std::size_t n : {39, 40, 550, 551})
    EXPECT_EQ(PassageOf(Sentence(n)).size(), n == 39 || n == 551 ? 0 : n);
  const std::u16string s40 = Sentence(40), s39q = Sentence(39) + u"\u201D";
  const struct {
    std::u16string before, passage, after;  // the verse is all three; empty `passage`: none
  } kCases[] = {
      {u"\u00B6 \u00B6  ", s40, u""},
      {u"\u00B6" + Sentence(39), u"", u""},
      {u"", s39q, u""},
      {u"", u"Then he said... and the people went out to the field at evening.", u" Next words."},
      {u"", u"The measure was 2.5 cubits by the hand of Mr.Smith of the old town.", u""},
      {u"", u"[Then all of them went out of the city to the hill.\"')]\u2019\u201D", u" Who?"},
      {u"Who is he that shall come to us in the night and stay? How great is the goodness of "
       u"the Lord to all his people! ",
       u"Then he spoke to the whole assembly again.", u""},
      {u"And this sentence runs on to the end of the book without any end", u"", u""},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(PassageOf(c.before + c.passage + c.after), c.passage)
        << ::testing::PrintToString(c.passage);
  const std::pair<std::u16string, bool> kOpenings[] = {
      {u"[\"'And", true},     {u"-- \u2014And", true}, {u"(And", false},
      {u"\u00B2 men", true},  {u"\u00C9lan", true},    {u"\u00E9lan", false},
      {u"\u00D7 and", false}, {u"\u201E And", false}};
  for (const auto& [opening, accepted] : kOpenings)
    EXPECT_EQ(PassageOf(opening + u" the rest of the sentence goes on a little.").empty(),
              !accepted)
        << ::testing::PrintToString(opening);
}

// The walk is monotone, so checking each chapter's first and last draw covers every draw; with a
// uniform draw over all verses, each chapter is then chosen by its verse count.
TEST(ChapterChoiceTest, EveryVerseDecidesExactlyOneChapter) {
  for (std::int32_t t = 0; t < 5; ++t) {
    std::uint32_t first = 0;
    for (const ChapterEntry& row : ChapterTable) {
      if (row.translationIndex != t) continue;
      const std::uint32_t last = first + static_cast<std::uint32_t>(row.verseCount) - 1;
      ASSERT_TRUE(&ChapterForDraw(t, first) == &row && &ChapterForDraw(t, last) == &row) << first;
      first = last + 1;
    }
    EXPECT_THROW(ChapterForDraw(t, first), std::out_of_range);
  }
  EXPECT_THROW(ChapterForDraw(5, 0), std::runtime_error);
  EXPECT_THROW(ChapterForDraw(-1, 0), std::runtime_error);
}

const std::string kGood = "Blessed is the man that walketh not in the counsel of the ungodly.";

// "<book> <chapter>:<verses>" in the drawn row's book.
std::u16string Reference(const ChapterEntry& row, int chapter, const std::string& verses) {
  const std::string tail = " " + std::to_string(chapter) + ":" + verses;
  return std::u16string(row.bookName) + std::u16string(tail.begin(), tail.end());
}

// The drawn chapter's passages come first, one may start inside a verse but none runs into the next
// chapter; another chapter's when only the previous reference is left. Failures end quietly.
TEST(FetchOnlineVerseTest, ChoosesFromTheDrawnChapterAvoidsThePreviousAndFailsQuietly) {
  ClearNativeBibleBooks();
  std::mt19937 generator(42);
  const ChapterEntry& row = PickWeightedChapter(1, generator);
  SetNativeBibleBook(
      row.path,
      Book({{row.chapter,
             {"Short one. " + kGood.substr(0, 35), kGood.substr(36), "And it ends without"}},
            {row.chapter + 1,
             {"any end, in the next chapter.", "And this one belongs to the next chapter."}}}));
  const OnlineVerse v = FetchOnlineVerse(1, 42, u"");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.text, std::u16string(kGood.begin(), kGood.end()));
  EXPECT_EQ(v.reference, Reference(row, row.chapter, "1-2"));
  EXPECT_EQ(NativeBibleDownloads(), std::vector<std::u16string>{row.path});
  EXPECT_EQ(FetchOnlineVerse(1, 42, v.reference).reference, Reference(row, row.chapter + 1, "2"));

  const std::string book = Book({{row.chapter, {kGood}}});
  SetNativeBibleBook(row.path, book);
  const std::u16string only = Reference(row, row.chapter, "1");
  EXPECT_FALSE(FetchOnlineVerse(1, 42, only).ok);
  EXPECT_TRUE(FetchOnlineVerse(1, 42, only + u" ").ok);

  const std::string kBodies[] = {
      book + std::string(kMaxBibleBookBytes - book.size() + 1, ' '),
      Book({{row.chapter, {"Blessed is the man that walketh not in \xC3\x28 the ungodly."}}}),
      Book({{row.chapter, {"too short."}}}),
      "",  // no download at all
  };
  for (const std::string& body : kBodies) {
    if (body.empty())
      ClearNativeBibleBooks();
    else
      SetNativeBibleBook(row.path, body);
    const OnlineVerse f = FetchOnlineVerse(1, 42, u"", u"failures");
    EXPECT_TRUE(!f.ok && f.translationIndex == 1 && f.text.empty() && f.reference.empty())
        << body.substr(0, 200);
  }
  // Only books that read are kept: the last one holds a sentence too short to show.
  EXPECT_EQ(ReadCachedBook(u"failures", CachedBookName(row.path)), kBodies[2]);
  SetNativeBibleBook(row.path, book + std::string(kMaxBibleBookBytes - book.size(), ' '));
  EXPECT_TRUE(FetchOnlineVerse(1, 42, u"").ok) << "the same book at the size limit";
  ClearNativeBibleBooks();
}

}  // namespace
}  // namespace companion
