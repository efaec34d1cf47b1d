#include "scripture/passage.h"

#include <gtest/gtest.h>

#include <map>
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
std::u16string Sentence(std::size_t length, char16_t first = u'A') {
  std::u16string s(length, u'a');
  s.front() = first;
  s.back() = u'.';
  return s;
}

std::vector<std::u16string> Texts(const std::vector<Passage>& passages) {
  std::vector<std::u16string> texts;
  for (const Passage& p : passages)
    texts.push_back(p.text);
  return texts;
}

std::vector<std::u16string> SplitOne(const std::u16string& verseText) {
  return Texts(SplitIntoPassages({{1, 1, verseText}}));
}

TEST(SplitIntoPassagesTest, LengthLimitsCountAfterLeadingSpaceAndPilcrows) {
  struct Case {
    std::u16string text;
    std::u16string passage;  // empty: none
  };
  const std::u16string s39 = Sentence(39), s40 = Sentence(40), s550 = Sentence(550);
  const std::u16string s551 = Sentence(551);
  const Case kCases[] = {
      {s39, u""},
      {s40, s40},
      {s550, s550},
      {s551, u""},
      {u"\u00B6 \u00B6  " + s40, s40},
      {u"\u00B6" + s39, u""},
      {Sentence(39) + u"\u201D", Sentence(39) + u"\u201D"},
      {Sentence(37) + u"\")", u""},
  };
  for (const Case& c : kCases) {
    const std::vector<std::u16string> got = SplitOne(c.text);
    if (c.passage.empty()) {
      EXPECT_TRUE(got.empty()) << c.text.size();
    } else {
      ASSERT_EQ(got.size(), 1u) << c.text.size();
      EXPECT_TRUE(got[0] == c.passage) << Narrow(got[0]);
    }
  }
}

TEST(SplitIntoPassagesTest, SentenceEnds) {
  struct Case {
    const char* name;
    std::u16string text;
    std::vector<std::u16string> passages;
  };
  const Case kCases[] = {
      {"EllipsisRunsOn",
       u"Then he said... and the people went out to the field at evening. Next words.",
       {u"Then he said... and the people went out to the field at evening."}},
      {"TwoPeriodsRunOn",
       u"Then he said.. and the people went out to the field at evening time.",
       {u"Then he said.. and the people went out to the field at evening time."}},
      {"PeriodBeforeLetterOrDigit",
       u"The measure was 2.5 cubits by the hand of Mr.Smith of the old town.",
       {u"The measure was 2.5 cubits by the hand of Mr.Smith of the old town."}},
      {"ClosingQuoteBelongsToSentence",
       u"He said, \u201CGo in peace, and the Lord be with you always.\u201D And they went.",
       {u"He said, \u201CGo in peace, and the Lord be with you always.\u201D"}},
      {"MarksBeforeALetterDoNotEnd",
       u"He wrote \u2018it.\u2019s\u2019 on the wall of the house of the Lord today.",
       {u"He wrote \u2018it.\u2019s\u2019 on the wall of the house of the Lord today."}},
      {"EveryClosingMarkIsStepped",
       u"[Then all of them went out of the city to the hill.\"')]\u2019\u201D Who?",
       {u"[Then all of them went out of the city to the hill.\"')]\u2019\u201D"}},
      {"QuestionAndExclamationCutButNeverChosen",
       u"Who is he that shall come to us in the night and stay? How great is the "
       u"goodness of the Lord to all his people! Then he spoke to the whole assembly again.",
       {u"Then he spoke to the whole assembly again."}},
      {"EndOfTextWithoutTerminator",
       u"And this sentence runs on to the end of the book without any end",
       {}},
      {"PeriodAtVeryEnd",
       u"And this sentence runs on to the very end of the book.",
       {u"And this sentence runs on to the very end of the book."}},
  };
  for (const Case& c : kCases) {
    const std::vector<std::u16string> got = SplitOne(c.text);
    ASSERT_EQ(got.size(), c.passages.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_TRUE(got[i] == c.passages[i]) << c.name << ": " << Narrow(got[i]);
    }
  }
}

TEST(SplitIntoPassagesTest, FirstSignificantCharacterMustBeUpperCaseOrDigit) {
  struct Case {
    std::u16string opening;
    bool accepted;
  };
  const Case kCases[] = {
      {u"\u201CCome", true},  {u"\u2018Come", true},  {u"[And", true},       {u"(And", false},
      {u"\"'And", true},      {u"-- And", true},      {u"\u2014And", true},  {u"\u2013 And", true},
      {u"12 men", true},      {u"\u00B2 men", true},  {u"\u00C9lan", true},  {u"\u03A9mega", true},
      {u"and", false},        {u"\u00B6 and", false}, {u"\u201Cand", false}, {u"\u00E9lan", false},
      {u"\u00D7 and", false}, {u"\u00BF And", false}, {u"{And", false},      {u"\u201E And", false},
  };
  for (const Case& c : kCases) {
    const std::u16string text = c.opening + u" the rest of the sentence goes on a little.";
    EXPECT_EQ(SplitOne(text).size(), c.accepted ? 1u : 0u) << Narrow(c.opening);
  }
  EXPECT_TRUE(SplitOne(u"\u201C\u201D\u2018[ -- \u2014 \u2013 \"' ) ] \u2019 \u201C ...").empty());
}

TEST(SplitIntoPassagesTest, VersesJoinWithOneSpaceAndGiveChapterAndVerseRange) {
  const std::vector<BibleVerse> verses = {
      {2, 4, u"Short."},
      {2, 5, u"These are the generations"},
      {2, 6, u"of the heavens and"},
      {2, 7, u"of the earth when they were created. In the day"},
      {2, 8, u"that the Lord made the earth and the heavens, all was good."},
  };
  const std::vector<Passage> passages = SplitIntoPassages(verses);
  ASSERT_EQ(passages.size(), 2u);
  EXPECT_TRUE(passages[0].text ==
              u"These are the generations of the heavens and of the earth when they were created.");
  EXPECT_EQ(passages[0].chapter, 2);
  EXPECT_EQ(passages[0].firstVerse, 5);
  EXPECT_EQ(passages[0].lastVerse, 7);
  EXPECT_EQ(passages[1].firstVerse, 7);
  EXPECT_EQ(passages[1].lastVerse, 8);
}

TEST(SplitIntoPassagesTest, SentenceCrossingAChapterIsNeverChosen) {
  const std::vector<BibleVerse> verses = {
      {3, 24, u"So he drove out the man; and he placed at the east of the garden"},
      {4, 1, u"Cherubims, and a flaming sword which turned every way for the way."},
      {4, 2, u"And Adam knew Eve his wife; and she conceived, and bare Cain."},
  };
  const std::vector<Passage> passages = SplitIntoPassages(verses);
  ASSERT_EQ(passages.size(), 1u);
  EXPECT_EQ(passages[0].chapter, 4);
  EXPECT_EQ(passages[0].firstVerse, 2);
}

TEST(SplitIntoPassagesTest, EmptyVersesAddNoLeadingSpaceAndBelongToNoSentenceStart) {
  const std::vector<BibleVerse> verses = {
      {1, 1, u""},
      {1, 2, u"In the beginning God created the heaven and the earth."},
      {1, 3, u""},
      {1, 4, u"And the earth was without form, and void; and darkness."},
  };
  const std::vector<Passage> passages = SplitIntoPassages(verses);
  ASSERT_EQ(passages.size(), 2u);
  EXPECT_EQ(passages[0].firstVerse, 2);
  EXPECT_EQ(passages[1].firstVerse, 4);
  EXPECT_TRUE(SplitIntoPassages({}).empty());
}

TEST(FormatReferenceTest, SingleVersesAndRanges) {
  struct Case {
    std::u16string book;
    Passage passage;
    std::u16string expected;
  };
  const Case kCases[] = {
      {u"Genesis", {u"", 2, 5, 7}, u"Genesis 2:5-7"},
      {u"Genesis", {u"", 2, 5, 5}, u"Genesis 2:5"},
      {u"Psalms", {u"", 119, 105, 106}, u"Psalms 119:105-106"},
      {u"1 Peter", {u"", 5, 6, 7}, u"1 Peter 5:6-7"},
      {u"Odd", {u"", -3, 0, 100000}, u"Odd -3:0-100000"},
  };
  for (const Case& c : kCases) {
    EXPECT_TRUE(FormatReference(c.book, c.passage) == c.expected) << Narrow(c.expected);
  }
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
    for (std::size_t v = 0; v < texts.size(); ++v) {
      json += (v ? ", [" : "[") + std::to_string(v + 1) + ", \"" + texts[v] + "\"]";
    }
    json += "]";
  }
  return json + "}";
}

class FetchOnlineVerseTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearNativeBibleBooks(); }
  void TearDown() override { ClearNativeBibleBooks(); }
};

TEST_F(FetchOnlineVerseTest, UnknownTranslationFailsWithoutDownload) {
  for (const std::int32_t t : {5, -1, 1000}) {
    const OnlineVerse v = FetchOnlineVerse(t, 1, u"");
    EXPECT_FALSE(v.ok);
    EXPECT_EQ(v.translationIndex, t);
    EXPECT_TRUE(v.text.empty() && v.reference.empty());
  }
  EXPECT_TRUE(NativeBibleDownloads().empty());
}

TEST_F(FetchOnlineVerseTest, ChoosesASentenceOfTheDrawnChapter) {
  const ChapterEntry& row = ChosenRow(1, 42);
  SetNativeBibleBook(row.path,
                     Book({{row.chapter,
                            {"Short one.",
                             "Blessed is the man that walketh not in "
                             "the counsel of the ungodly."}},
                           {row.chapter + 1, {"And this one belongs to another chapter of it."}}}));
  const OnlineVerse v = FetchOnlineVerse(1, 42, u"");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.translationIndex, 1);
  EXPECT_TRUE(v.text == u"Blessed is the man that walketh not in the counsel of the ungodly.");
  EXPECT_TRUE(v.reference == FormatReference(row.bookName, {u"", row.chapter, 2, 2}));
  EXPECT_EQ(NativeBibleDownloads(), std::vector<std::u16string>{row.path});
}

TEST_F(FetchOnlineVerseTest, AvoidsThePreviousReference) {
  const ChapterEntry& row = ChosenRow(0, 7);
  const std::string only = "Blessed is the man that walketh not in the counsel of the ungodly.";
  const std::string other = "And this one belongs to another chapter of the same book.";
  const std::u16string previous = FormatReference(row.bookName, {u"", row.chapter, 1, 1});
  SetNativeBibleBook(row.path, Book({{row.chapter, {only}}, {row.chapter + 1, {other}}}));
  const OnlineVerse fallback = FetchOnlineVerse(0, 7, previous);
  ASSERT_TRUE(fallback.ok);
  EXPECT_TRUE(fallback.reference == FormatReference(row.bookName, {u"", row.chapter + 1, 1, 1}));

  SetNativeBibleBook(row.path, Book({{row.chapter, {only}}}));
  EXPECT_FALSE(FetchOnlineVerse(0, 7, previous).ok);
  EXPECT_TRUE(FetchOnlineVerse(0, 7, previous + u" ").ok);
}

TEST_F(FetchOnlineVerseTest, SameSeedSameChoice) {
  std::map<int, std::vector<std::string>> chapters;
  for (int c = 1; c <= 150; ++c) {
    for (int v = 0; v < 6; ++v) {
      chapters[c].push_back("Verse " + std::to_string(v) + " of chapter " + std::to_string(c) +
                            " says something long enough.");
    }
  }
  const std::string book = Book(chapters);
  for (const ChapterEntry& row : ChapterTable) {
    if (row.translationIndex == 3) SetNativeBibleBook(row.path, book);
  }
  std::map<std::u16string, int> distinct;
  for (std::uint32_t seed = 100; seed < 120; ++seed) {
    const OnlineVerse a = FetchOnlineVerse(3, seed, u"");
    const OnlineVerse b = FetchOnlineVerse(3, seed, u"");
    ASSERT_TRUE(a.ok);
    EXPECT_TRUE(a.reference == b.reference && a.text == b.text);
    const ChapterEntry& row = ChosenRow(3, seed);
    const std::string chapter = std::to_string(row.chapter);
    EXPECT_TRUE(a.reference.starts_with(std::u16string(row.bookName) + u" " +
                                        std::u16string(chapter.begin(), chapter.end()) + u":"))
        << Narrow(a.reference);
    ++distinct[a.reference];
  }
  EXPECT_GT(distinct.size(), 10u);
}

TEST_F(FetchOnlineVerseTest, BodySizeLimits) {
  const ChapterEntry& row = ChosenRow(2, 3);
  const std::string book =
      Book({{row.chapter, {"Blessed is the man that walketh not in the counsel of the ungodly."}}});
  struct Case {
    std::string body;
    bool ok;
  };
  const Case kCases[] = {
      {"", false},
      {book + std::string(kMaxBibleBookBytes - book.size(), ' '), true},
      {book + std::string(kMaxBibleBookBytes - book.size() + 1, ' '), false},
  };
  for (const Case& c : kCases) {
    SetNativeBibleBook(row.path, c.body);
    EXPECT_EQ(FetchOnlineVerse(2, 3, u"").ok, c.ok) << c.body.size();
  }
}

TEST_F(FetchOnlineVerseTest, EveryFailureEndsQuietly) {
  const ChapterEntry& row = ChosenRow(4, 9);
  const std::string sentence = "Blessed is the man that walketh not in the counsel of the ungodly.";
  const std::string kBodies[] = {
      Book({{row.chapter, {"Blessed is the man that walketh not in \xC3\x28 the ungodly."}}}),
      Book({{row.chapter, {"Blessed is the man that walketh \xED\xA0\x80 the ungodly."}}}),
      Book({{row.chapter,
             {"Who is the man that walketh not in the counsel of the ungodly?",
              "How blessed is the man that walketh not in the counsel of God!"}}}),
      Book({{row.chapter, {"too short."}}}),
      Book({{row.chapter, {}}}),
      "{\"1\": [[1, \"" + sentence + "\"]]",
      "{\"x\": [[1, \"" + sentence + "\"]]}",
      "{\"99999999999\": [[1, \"" + sentence + "\"]]}",
  };
  for (const std::string& body : kBodies) {
    SetNativeBibleBook(row.path, body);
    const OnlineVerse v = FetchOnlineVerse(4, 9, u"");
    EXPECT_FALSE(v.ok) << body;
    EXPECT_EQ(v.translationIndex, 4);
    EXPECT_TRUE(v.text.empty() && v.reference.empty());
  }
  ClearNativeBibleBooks();
  EXPECT_FALSE(FetchOnlineVerse(4, 9, u"").ok) << "download failure";
  SetNativeBibleBook(row.path, Book({{row.chapter, {sentence}}}));
  EXPECT_TRUE(FetchOnlineVerse(4, 9, u"").ok) << "the same book without the fault";
}

}  // namespace
}  // namespace companion
