#include "scripture/passage.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "scripture/book_source_native.h"

namespace companion {
namespace {

std::string Narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s)
    out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

// A sentence of exactly `length` units: a capital, filler, and a final period.
std::u16string Sentence(std::size_t length) {
  std::u16string s(length, u'a');
  s.front() = u'A';
  s.back() = u'.';
  return s;
}

std::vector<std::u16string> SplitOne(const std::u16string& verseText) {
  std::vector<std::u16string> texts;
  for (const Passage& p : SplitIntoPassages({{1, 1, verseText}}))
    texts.push_back(p.text);
  return texts;
}

TEST(SplitIntoPassagesTest, LengthLimitsCountAfterLeadingSpaceAndPilcrows) {
  const std::u16string s40 = Sentence(40), s550 = Sentence(550), s39q = Sentence(39) + u"\u201D";
  const std::pair<std::u16string, std::u16string> kCases[] = {
      // {verse, passage or empty}
      {Sentence(39), u""},
      {s40, s40},
      {s550, s550},
      {Sentence(551), u""},
      {u"\u00B6 \u00B6  " + s40, s40},
      {u"\u00B6" + Sentence(39), u""},
      {s39q, s39q},
      {Sentence(37) + u"\")", u""},
  };
  for (const auto& [text, passage] : kCases) {
    const std::vector<std::u16string> got = SplitOne(text);
    ASSERT_EQ(got.size(), passage.empty() ? 0u : 1u) << text.size();
    EXPECT_TRUE(got.empty() || got[0] == passage) << Narrow(got.empty() ? u"" : got[0]);
  }
}

TEST(SplitIntoPassagesTest, SentenceEnds) {
  struct Case {
    const char* name;
    std::u16string before, passage, after;  // the verse is all three; empty `passage`: none
  };
  const Case kCases[] = {
      {"EllipsisRunsOn", u"", u"Then he said... and the people went out to the field at evening.",
       u" Next words."},
      {"TwoPeriodsRunOn", u"",
       u"Then he said.. and the people went out to the field at evening time.", u""},
      {"PeriodBeforeLetterOrDigit", u"",
       u"The measure was 2.5 cubits by the hand of Mr.Smith of the old town.", u""},
      {"ClosingQuoteBelongsToSentence", u"",
       u"He said, \u201CGo in peace, and the Lord be with you always.\u201D", u" And they went."},
      {"MarksBeforeALetterDoNotEnd", u"",
       u"He wrote \u2018it.\u2019s\u2019 on the wall of the house of the Lord today.", u""},
      {"EveryClosingMarkIsStepped", u"",
       u"[Then all of them went out of the city to the hill.\"')]\u2019\u201D", u" Who?"},
      {"QuestionAndExclamationCutButNeverChosen",
       u"Who is he that shall come to us in the night and stay? How great is the goodness of "
       u"the Lord to all his people! ",
       u"Then he spoke to the whole assembly again.", u""},
      {"EndOfTextWithoutTerminator",
       u"And this sentence runs on to the end of the book without any end", u"", u""},
  };
  for (const Case& c : kCases) {
    const std::vector<std::u16string> got = SplitOne(c.before + c.passage + c.after);
    ASSERT_EQ(got.size(), c.passage.empty() ? 0u : 1u) << c.name;
    EXPECT_TRUE(got.empty() || got[0] == c.passage) << c.name << ": " << Narrow(got[0]);
  }
}

TEST(SplitIntoPassagesTest, FirstSignificantCharacterMustBeUpperCaseOrDigit) {
  const std::pair<std::u16string, bool> kCases[] = {
      {u"\u201CCome", true},  {u"\u2018Come", true},  {u"[And", true},       {u"(And", false},
      {u"\"'And", true},      {u"-- And", true},      {u"\u2014And", true},  {u"\u2013 And", true},
      {u"12 men", true},      {u"\u00B2 men", true},  {u"\u00C9lan", true},  {u"\u03A9mega", true},
      {u"and", false},        {u"\u00B6 and", false}, {u"\u201Cand", false}, {u"\u00E9lan", false},
      {u"\u00D7 and", false}, {u"\u00BF And", false}, {u"{And", false},      {u"\u201E And", false},
  };
  for (const auto& [opening, accepted] : kCases) {
    const std::u16string text = opening + u" the rest of the sentence goes on a little.";
    EXPECT_EQ(SplitOne(text).size(), accepted ? 1u : 0u) << Narrow(opening);
  }
  EXPECT_TRUE(SplitOne(u"\u201C\u201D\u2018[ -- \u2014 \u2013 \"' ) ] \u2019 \u201C ...").empty());
}

// Verses join with one space (none after an empty verse); a passage spans the verses it touches
// and never crosses a chapter.
TEST(SplitIntoPassagesTest, VersesJoinIntoPassagesWithinOneChapter) {
  const std::vector<BibleVerse> verses = {
      {2, 4, u""},
      {2, 5, u"These are the generations"},
      {2, 6, u"of the heavens and"},
      {2, 7, u"of the earth when they were created. In the day"},
      {2, 8, u"that the Lord made the earth and the heavens, all was good."},
      {3, 1, u"So he drove out the man; and he placed at the east of the garden"},
      {4, 1, u"Cherubims, and a flaming sword which turned every way for the way."},
      {4, 2, u""},
      {4, 3, u"And Adam knew Eve his wife; and she conceived, and bare Cain."},
  };
  const std::vector<Passage> got = SplitIntoPassages(verses);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_TRUE(got[0].text ==
              u"These are the generations of the heavens and of the earth when they were created.");
  const int kRanges[][3] = {{2, 5, 7}, {2, 7, 8}, {4, 3, 3}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(got[i].chapter, kRanges[i][0]) << i;
    EXPECT_EQ(got[i].firstVerse, kRanges[i][1]) << i;
    EXPECT_EQ(got[i].lastVerse, kRanges[i][2]) << i;
  }
  EXPECT_TRUE(SplitIntoPassages({}).empty());
}

TEST(FormatReferenceTest, SingleVersesAndRanges) {
  EXPECT_TRUE(FormatReference(u"Genesis", {u"", 2, 5, 7}) == u"Genesis 2:5-7");
  EXPECT_TRUE(FormatReference(u"Genesis", {u"", 2, 5, 5}) == u"Genesis 2:5");
  EXPECT_TRUE(FormatReference(u"1 Peter", {u"", 119, 105, 106}) == u"1 Peter 119:105-106");
  EXPECT_TRUE(FormatReference(u"Odd", {u"", -3, 0, 100000}) == u"Odd -3:0-100000");
}

// The walk is monotone, so checking each chapter's first and last draw covers every draw.
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

TEST(ChapterChoiceTest, KingJamesChoiceFollowsVerseWeightsOverManySeeds) {
  constexpr int kRequests = 40000;
  int psalms = 0, obadiah = 0;
  for (std::uint32_t seed = 0; seed < kRequests; ++seed) {
    std::mt19937 generator(seed);
    const std::u16string book = PickWeightedChapter(1, generator).bookName;
    psalms += book == u"Psalms";
    obadiah += book == u"Obadiah";
  }
  // Expected 3,165 (7.9 %) and 27 (0.07 %); each bound lies over three standard deviations out.
  EXPECT_NEAR(psalms / double{kRequests}, 2461.0 / 31102.0, 0.005);
  EXPECT_GT(obadiah, 9);
  EXPECT_LT(obadiah, 50);
}

// The chapter a request with `seed` will choose.
const ChapterEntry& ChosenRow(std::int32_t translation, std::uint32_t seed) {
  std::mt19937 generator(seed);
  return PickWeightedChapter(translation, generator);
}

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

const std::string kGood = "Blessed is the man that walketh not in the counsel of the ungodly.";

class FetchOnlineVerseTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearNativeBibleBooks(); }
  void TearDown() override { ClearNativeBibleBooks(); }

  static void ExpectQuietFailure(std::int32_t t, std::uint32_t seed, const std::string& what) {
    const OnlineVerse v = FetchOnlineVerse(t, seed, u"");
    EXPECT_FALSE(v.ok) << what;
    EXPECT_EQ(v.translationIndex, t) << what;
    EXPECT_TRUE(v.text.empty() && v.reference.empty()) << what;
  }
};

TEST_F(FetchOnlineVerseTest, ChoosesASentenceOfTheDrawnChapter) {
  const ChapterEntry& row = ChosenRow(1, 42);
  SetNativeBibleBook(row.path, Book({{row.chapter, {"Short one.", kGood}},
                                     {row.chapter + 1, {"And this belongs to another chapter."}}}));
  const OnlineVerse v = FetchOnlineVerse(1, 42, u"");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.translationIndex, 1);
  EXPECT_EQ(Narrow(v.text), kGood);
  EXPECT_TRUE(v.reference == FormatReference(row.bookName, {u"", row.chapter, 2, 2}));
  EXPECT_EQ(NativeBibleDownloads(), std::vector<std::u16string>{row.path});
}

TEST_F(FetchOnlineVerseTest, AvoidsThePreviousReference) {
  const ChapterEntry& row = ChosenRow(0, 7);
  const std::string other = "And this one belongs to another chapter of the same book.";
  const std::u16string previous = FormatReference(row.bookName, {u"", row.chapter, 1, 1});
  SetNativeBibleBook(row.path, Book({{row.chapter, {kGood}}, {row.chapter + 1, {other}}}));
  const OnlineVerse fallback = FetchOnlineVerse(0, 7, previous);
  ASSERT_TRUE(fallback.ok);
  EXPECT_TRUE(fallback.reference == FormatReference(row.bookName, {u"", row.chapter + 1, 1, 1}));

  SetNativeBibleBook(row.path, Book({{row.chapter, {kGood}}}));
  EXPECT_FALSE(FetchOnlineVerse(0, 7, previous).ok);
  EXPECT_TRUE(FetchOnlineVerse(0, 7, previous + u" ").ok);
}

TEST_F(FetchOnlineVerseTest, SameSeedSameChoiceAndSeedsSpreadOverTheChapters) {
  std::map<int, std::vector<std::string>> chapters;
  for (int c = 1; c <= 150; ++c) {
    for (int v = 0; v < 6; ++v)
      chapters[c].push_back("Verse " + std::to_string(v) + " of chapter " + std::to_string(c) +
                            " says something long enough.");
  }
  const std::string book = Book(chapters);
  for (const ChapterEntry& row : ChapterTable) {
    if (row.translationIndex == 3) SetNativeBibleBook(row.path, book);
  }
  std::set<std::u16string> distinct;
  for (std::uint32_t seed = 100; seed < 120; ++seed) {
    const OnlineVerse a = FetchOnlineVerse(3, seed, u"");
    const OnlineVerse b = FetchOnlineVerse(3, seed, u"");
    ASSERT_TRUE(a.ok);
    EXPECT_TRUE(a.reference == b.reference && a.text == b.text) << Narrow(a.reference);
    distinct.insert(a.reference);
  }
  EXPECT_GT(distinct.size(), 10u);
}

TEST_F(FetchOnlineVerseTest, EveryFailureEndsQuietly) {
  for (const std::int32_t t : {5, -1, 1000})
    ExpectQuietFailure(t, 1, "unknown translation");
  EXPECT_TRUE(NativeBibleDownloads().empty());

  const ChapterEntry& row = ChosenRow(4, 9);
  const std::string book = Book({{row.chapter, {kGood}}});
  const std::string kBodies[] = {
      "",
      book + std::string(kMaxBibleBookBytes - book.size() + 1, ' '),
      Book({{row.chapter, {"Blessed is the man that walketh not in \xC3\x28 the ungodly."}}}),
      Book({{row.chapter, {"Blessed is the man that walketh \xED\xA0\x80 the ungodly."}}}),
      Book({{row.chapter,
             {"Who is the man that walketh not in the counsel of the ungodly?",
              "How blessed is the man that walketh not in the counsel of God!"}}}),
      Book({{row.chapter, {"too short."}}}),
      Book({{row.chapter, {}}}),
      "{\"1\": [[1, \"" + kGood + "\"]]",
      "{\"x\": [[1, \"" + kGood + "\"]]}",
      "{\"99999999999\": [[1, \"" + kGood + "\"]]}",
  };
  for (const std::string& body : kBodies) {
    SetNativeBibleBook(row.path, body);
    ExpectQuietFailure(4, 9, body.substr(0, 200));
  }
  ClearNativeBibleBooks();
  ExpectQuietFailure(4, 9, "download failure");
  SetNativeBibleBook(row.path, book + std::string(kMaxBibleBookBytes - book.size(), ' '));
  EXPECT_TRUE(FetchOnlineVerse(4, 9, u"").ok) << "the same book at the size limit";
}

}  // namespace
}  // namespace companion
