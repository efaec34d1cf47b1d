#include "scripture/passage.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "scripture/book_cache.h"
#include "scripture/book_source_native.h"

namespace companion {
namespace {

// A sentence of exactly `length` units: a capital, filler, and a final period.
std::u16string Sentence(std::size_t length) {
  std::u16string s(length, u'a');
  s.front() = u'A';
  s.back() = u'.';
  return s;
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
    if (json.size() > 1) json += ",";
    json += "\"" + std::to_string(chapter) + "\": [";
    for (std::size_t v = 0; v < texts.size(); ++v)
      json += (v ? ", [" : "[") + std::to_string(v + 1) + ", \"" + texts[v] + "\"]";
    json += "]";
  }
  return json + "}";
}

// The passages of a book as a request cuts them: text, chapter, first and last verse.
using Cut = std::tuple<std::u16string, std::int32_t, std::int32_t, std::int32_t>;
std::vector<Cut> CutBook(const std::string& ascii) {
  std::u16string text(ascii.begin(), ascii.end());
  std::vector<VerseSpan> spans;
  text.resize(JoinBibleBookInPlace(text, spans));
  std::vector<Cut> cuts;
  for (const PassageRange& p : FindPassages(text, spans))
    cuts.emplace_back(text.substr(p.start, p.end - p.start), p.chapter, p.firstVerse, p.lastVerse);
  return cuts;
}

TEST(FindPassagesTest, LengthLimitsCountAfterLeadingSpaceAndPilcrows) {
  const std::u16string s40 = Sentence(40), s550 = Sentence(550), s39q = Sentence(39) + u"\u201D";
  EXPECT_EQ(PassageOf(Sentence(39)), u"");
  EXPECT_EQ(PassageOf(s40), s40);
  EXPECT_EQ(PassageOf(s550), s550);
  EXPECT_EQ(PassageOf(Sentence(551)), u"");
  EXPECT_EQ(PassageOf(u"\u00B6 \u00B6  " + s40), s40);
  EXPECT_EQ(PassageOf(u"\u00B6" + Sentence(39)), u"");
  EXPECT_EQ(PassageOf(s39q), s39q);
}

TEST(FindPassagesTest, SentenceEnds) {
  struct Case {
    std::u16string before, passage, after;  // the verse is all three; empty `passage`: none
  };
  const Case kCases[] = {
      {u"", u"Then he said... and the people went out to the field at evening.", u" Next words."},
      {u"", u"The measure was 2.5 cubits by the hand of Mr.Smith of the old town.", u""},
      {u"", u"[Then all of them went out of the city to the hill.\"')]\u2019\u201D", u" Who?"},
      {u"Who is he that shall come to us in the night and stay? How great is the goodness of "
       u"the Lord to all his people! ",
       u"Then he spoke to the whole assembly again.", u""},
      {u"And this sentence runs on to the end of the book without any end", u"", u""},
  };
  for (const Case& c : kCases)
    EXPECT_EQ(PassageOf(c.before + c.passage + c.after), c.passage)
        << ::testing::PrintToString(c.passage);
}

TEST(FindPassagesTest, FirstSignificantCharacterMustBeUpperCaseOrDigit) {
  const std::pair<std::u16string, bool> kCases[] = {
      {u"[\"'And", true},   {u"-- \u2014And", true}, {u"(And", false},       {u"\u00B2 men", true},
      {u"\u00C9lan", true}, {u"\u00E9lan", false},   {u"\u00D7 and", false}, {u"\u201E And", false},
  };
  for (const auto& [opening, accepted] : kCases) {
    const std::u16string text = opening + u" the rest of the sentence goes on a little.";
    EXPECT_EQ(PassageOf(text).empty(), !accepted) << ::testing::PrintToString(opening);
  }
}

// Verses join with one space (none after an empty verse); a passage spans the verses it touches
// and never crosses a chapter.
TEST(FindPassagesTest, VersesJoinIntoPassagesWithinOneChapter) {
  const std::vector<Cut> got =
      CutBook(Book({{2,
                     {"", "These are the generations", "of the heavens and",
                      "of the earth when they were created. In the day",
                      "that the Lord made the earth and the heavens, all was good."}},
                    {3, {"So he drove out the man; and he placed at the east of the garden"}},
                    {4,
                     {"Cherubims, and a flaming sword which turned every way for the way.", "",
                      "And Adam knew Eve his wife; and she conceived, and bare Cain."}}}));
  const std::vector<Cut> expected = {
      {u"These are the generations of the heavens and of the earth when they were created.", 2, 2,
       4},
      {u"In the day that the Lord made the earth and the heavens, all was good.", 2, 4, 5},
      {u"And Adam knew Eve his wife; and she conceived, and bare Cain.", 4, 3, 3}};
  EXPECT_EQ(got, expected);
}

// The walk is monotone, so checking each chapter's first and last draw covers every draw; with a
// uniform draw over all verses, each chapter is then chosen by its verse count.
TEST(ChapterChoiceTest, EveryVerseDecidesExactlyOneChapter) {
  for (std::int32_t t = 0; t < 5; ++t) {
    std::uint32_t first = 0;
    for (const ChapterEntry& row : ChapterTable) {
      if (row.translationIndex != t) continue;
      const std::uint32_t last = first + static_cast<std::uint32_t>(row.verseCount) - 1;
      ASSERT_EQ(&ChapterForDraw(t, first), &row);
      ASSERT_EQ(&ChapterForDraw(t, last), &row);
      first = last + 1;
    }
    EXPECT_THROW(ChapterForDraw(t, first), std::out_of_range);
  }
  EXPECT_THROW(ChapterForDraw(5, 0), std::runtime_error);
  EXPECT_THROW(ChapterForDraw(-1, 0), std::runtime_error);
}

const ChapterEntry& ChosenRow(std::int32_t translation, std::uint32_t seed) {
  std::mt19937 generator(seed);
  return PickWeightedChapter(translation, generator);
}

const std::string kGood = "Blessed is the man that walketh not in the counsel of the ungodly.";
const std::u16string kGood16(kGood.begin(), kGood.end());

// "<book> <chapter>:<verses>" in the drawn row's book.
std::u16string Reference(const ChapterEntry& row, int chapter, const std::string& verses) {
  const std::string tail = " " + std::to_string(chapter) + ":" + verses;
  return std::u16string(row.bookName) + std::u16string(tail.begin(), tail.end());
}

class FetchOnlineVerseTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearNativeBibleBooks(); }
  void TearDown() override { ClearNativeBibleBooks(); }

  static void ExpectQuietFailure(std::int32_t t, std::uint32_t seed, const std::string& what) {
    const OnlineVerse v = FetchOnlineVerse(t, seed, u"", u"failures");
    EXPECT_TRUE(!v.ok && v.translationIndex == t && v.text.empty() && v.reference.empty()) << what;
  }
};

// Passages of the drawn chapter come first; the previous reference is avoided, with another
// chapter's passage when the drawn one holds nothing else. A passage over verses names them as a
// range, one in a single verse without one.
TEST_F(FetchOnlineVerseTest, ChoosesFromTheDrawnChapterAvoidingThePreviousReference) {
  const ChapterEntry& row = ChosenRow(1, 42);
  const std::string other = "And this one belongs to another chapter of the same book.";
  SetNativeBibleBook(row.path, Book({{row.chapter,
                                      {"Short one.", "Blessed is the man that walketh not",
                                       "in the counsel of the ungodly."}},
                                     {row.chapter + 1, {other}}}));
  const OnlineVerse v = FetchOnlineVerse(1, 42, u"");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.text, kGood16);
  EXPECT_EQ(v.reference, Reference(row, row.chapter, "2-3"));
  EXPECT_EQ(NativeBibleDownloads(), std::vector<std::u16string>{row.path});
  EXPECT_EQ(FetchOnlineVerse(1, 42, v.reference).reference, Reference(row, row.chapter + 1, "1"));

  SetNativeBibleBook(row.path, Book({{row.chapter, {kGood}}}));
  const std::u16string only = Reference(row, row.chapter, "1");
  EXPECT_FALSE(FetchOnlineVerse(1, 42, only).ok);
  EXPECT_TRUE(FetchOnlineVerse(1, 42, only + u" ").ok);
}

TEST_F(FetchOnlineVerseTest, EveryFailureEndsQuietly) {
  const ChapterEntry& row = ChosenRow(4, 9);
  const std::string book = Book({{row.chapter, {kGood}}});
  const std::string kBodies[] = {
      "",
      book + std::string(kMaxBibleBookBytes - book.size() + 1, ' '),
      Book({{row.chapter, {"Blessed is the man that walketh not in \xC3\x28 the ungodly."}}}),
      Book({{row.chapter, {"too short."}}}),
      "{\"1\": [[1, \"" + kGood + "\"]]",
  };
  for (const std::string& body : kBodies) {
    SetNativeBibleBook(row.path, body);
    ExpectQuietFailure(4, 9, body.substr(0, 200));
  }
  ClearNativeBibleBooks();
  ExpectQuietFailure(4, 9, "download failure");
  // Only books that read are kept: the last one holds a sentence too short to show.
  EXPECT_EQ(ReadCachedBook(u"failures", CachedBookName(row.path)), kBodies[3]);
  SetNativeBibleBook(row.path, book + std::string(kMaxBibleBookBytes - book.size(), ' '));
  EXPECT_TRUE(FetchOnlineVerse(4, 9, u"").ok) << "the same book at the size limit";
}

}  // namespace
}  // namespace companion
