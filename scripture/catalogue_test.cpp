#include "scripture/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace companion {
namespace {

std::u16string Str(const char16_t* s) {
  return s;
}

int VerseCount(int translation, const std::u16string& book, int chapter) {
  for (const ChapterEntry& row : ChapterTable) {
    if (row.translationIndex == translation && row.bookName == book && row.chapter == chapter) {
      return row.verseCount;
    }
  }
  return -1;
}

TEST(TranslationTableTest, FiveTranslationsInIndexOrder) {
  const std::pair<std::u16string, std::u16string> expected[] = {
      {u"web", u"World English Bible"},       {u"kjv", u"King James Version"},
      {u"asv", u"American Standard Version"}, {u"ylt", u"Young's Literal Translation"},
      {u"darby", u"Darby Translation"},
  };
  ASSERT_EQ(TranslationTable.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(Str(TranslationTable[i].code), expected[i].first);
    EXPECT_EQ(Str(TranslationTable[i].name), expected[i].second);
  }
}

TEST(ChapterTableTest, TranslationMajorWithChaptersOneToNWithoutGaps) {
  ASSERT_EQ(ChapterTable.size(), 5945u);
  for (std::size_t i = 0; i < ChapterTable.size(); ++i) {
    const ChapterEntry& row = ChapterTable[i];
    EXPECT_EQ(row.translationIndex, static_cast<int>(i / 1189)) << i;
    const bool newBook = i == 0 || ChapterTable[i - 1].bookName != row.bookName;
    if (newBook) {
      EXPECT_EQ(row.chapter, 1) << i;
    } else {
      EXPECT_EQ(row.chapter, ChapterTable[i - 1].chapter + 1) << i;
      EXPECT_EQ(row.path, ChapterTable[i - 1].path) << "one path string per book";
    }
    EXPECT_GT(row.verseCount, 0);
  }
}

TEST(ChapterTableTest, VerseTotalsPerTranslation) {
  const int expected[] = {31103, 31102, 31102, 31102, 31099};
  int totals[5] = {};
  int rows[5] = {};
  for (const ChapterEntry& row : ChapterTable) {
    totals[row.translationIndex] += row.verseCount;
    ++rows[row.translationIndex];
  }
  for (int t = 0; t < 5; ++t) {
    EXPECT_EQ(totals[t], expected[t]) << t;
    EXPECT_EQ(rows[t], 1189) << t;
  }
}

// Chapters and verses per book of the standard versification, independent of the derived
// per-chapter counts.
TEST(ChapterTableTest, BooksInCanonicalOrderWithStandardTotals) {
  struct Book {
    const char16_t* code;
    const char16_t* name;
    int chapters;
    int verses;
  };
  const Book kBooks[] = {
      {u"GEN", u"Genesis", 50, 1533},
      {u"EXO", u"Exodus", 40, 1213},
      {u"LEV", u"Leviticus", 27, 859},
      {u"NUM", u"Numbers", 36, 1288},
      {u"DEU", u"Deuteronomy", 34, 959},
      {u"JOS", u"Joshua", 24, 658},
      {u"JDG", u"Judges", 21, 618},
      {u"RUT", u"Ruth", 4, 85},
      {u"1SA", u"1 Samuel", 31, 810},
      {u"2SA", u"2 Samuel", 24, 695},
      {u"1KI", u"1 Kings", 22, 816},
      {u"2KI", u"2 Kings", 25, 719},
      {u"1CH", u"1 Chronicles", 29, 942},
      {u"2CH", u"2 Chronicles", 36, 822},
      {u"EZR", u"Ezra", 10, 280},
      {u"NEH", u"Nehemiah", 13, 406},
      {u"EST", u"Esther", 10, 167},
      {u"JOB", u"Job", 42, 1070},
      {u"PSA", u"Psalms", 150, 2461},
      {u"PRO", u"Proverbs", 31, 915},
      {u"ECC", u"Ecclesiastes", 12, 222},
      {u"SNG", u"Song of Solomon", 8, 117},
      {u"ISA", u"Isaiah", 66, 1292},
      {u"JER", u"Jeremiah", 52, 1364},
      {u"LAM", u"Lamentations", 5, 154},
      {u"EZK", u"Ezekiel", 48, 1273},
      {u"DAN", u"Daniel", 12, 357},
      {u"HOS", u"Hosea", 14, 197},
      {u"JOL", u"Joel", 3, 73},
      {u"AMO", u"Amos", 9, 146},
      {u"OBA", u"Obadiah", 1, 21},
      {u"JON", u"Jonah", 4, 48},
      {u"MIC", u"Micah", 7, 105},
      {u"NAM", u"Nahum", 3, 47},
      {u"HAB", u"Habakkuk", 3, 56},
      {u"ZEP", u"Zephaniah", 3, 53},
      {u"HAG", u"Haggai", 2, 38},
      {u"ZEC", u"Zechariah", 14, 211},
      {u"MAL", u"Malachi", 4, 55},
      {u"MAT", u"Matthew", 28, 1071},
      {u"MRK", u"Mark", 16, 678},
      {u"LUK", u"Luke", 24, 1151},
      {u"JHN", u"John", 21, 879},
      {u"ACT", u"Acts", 28, 1007},
      {u"ROM", u"Romans", 16, 433},
      {u"1CO", u"1 Corinthians", 16, 437},
      {u"2CO", u"2 Corinthians", 13, 257},
      {u"GAL", u"Galatians", 6, 149},
      {u"EPH", u"Ephesians", 6, 155},
      {u"PHP", u"Philippians", 4, 104},
      {u"COL", u"Colossians", 4, 95},
      {u"1TH", u"1 Thessalonians", 5, 89},
      {u"2TH", u"2 Thessalonians", 3, 47},
      {u"1TI", u"1 Timothy", 6, 113},
      {u"2TI", u"2 Timothy", 4, 83},
      {u"TIT", u"Titus", 3, 46},
      {u"PHM", u"Philemon", 1, 25},
      {u"HEB", u"Hebrews", 13, 303},
      {u"JAS", u"James", 5, 108},
      {u"1PE", u"1 Peter", 5, 105},
      {u"2PE", u"2 Peter", 3, 61},
      {u"1JN", u"1 John", 5, 105},
      {u"2JN", u"2 John", 1, 13},
      {u"3JN", u"3 John", 1, 14},
      {u"JUD", u"Jude", 1, 25},
      {u"REV", u"Revelation", 22, 404},
  };
  for (int t = 1; t <= 3; ++t) {
    std::size_t row = static_cast<std::size_t>(t) * 1189;
    const std::u16string code = TranslationTable[t].code;
    for (const Book& book : kBooks) {
      const std::u16string path = u"/bible/v1/" + code + u"/" + book.code + u".json";
      int verses = 0;
      for (int c = 1; c <= book.chapters; ++c, ++row) {
        ASSERT_EQ(Str(ChapterTable[row].bookName), book.name);
        ASSERT_EQ(Str(ChapterTable[row].path), path);
        verses += ChapterTable[row].verseCount;
      }
      EXPECT_EQ(verses, book.verses) << "book " << (&book - kBooks) << " t=" << t;
    }
  }
}

TEST(ChapterTableTest, NamedChaptersAndTheFiveThatDiffer) {
  struct Case {
    const char16_t* book;
    int chapter;
    int web, kjv, asv, ylt, darby;
  };
  const Case kCases[] = {
      {u"Psalms", 119, 176, 176, 176, 176, 176}, {u"Psalms", 117, 2, 2, 2, 2, 2},
      {u"Esther", 8, 17, 17, 17, 17, 17},        {u"Malachi", 4, 6, 6, 6, 6, 6},
      {u"3 John", 1, 14, 14, 14, 14, 14},        {u"Revelation", 12, 17, 17, 17, 17, 17},
      {u"Matthew", 23, 39, 39, 39, 39, 38},      {u"Acts", 8, 40, 40, 40, 40, 39},
      {u"Acts", 15, 41, 41, 41, 41, 40},         {u"Romans", 14, 26, 23, 23, 23, 23},
      {u"Romans", 16, 25, 27, 27, 27, 27},
  };
  for (const Case& c : kCases) {
    const int expected[] = {c.web, c.kjv, c.asv, c.ylt, c.darby};
    for (int t = 0; t < 5; ++t) {
      EXPECT_EQ(VerseCount(t, c.book, c.chapter), expected[t]) << c.chapter << " t=" << t;
    }
  }
}

TEST(ChapterTableTest, OnlyThePathDiffersBetweenTranslationsAndNamesAreShared) {
  for (std::size_t i = 0; i < 1189; ++i) {
    for (std::size_t t = 1; t < 5; ++t) {
      const ChapterEntry& a = ChapterTable[i];
      const ChapterEntry& b = ChapterTable[t * 1189 + i];
      EXPECT_EQ(a.bookName, b.bookName);
      EXPECT_EQ(a.chapter, b.chapter);
      const std::u16string expected = u"/bible/v1/" + Str(TranslationTable[t].code) +
                                      Str(a.path).substr(Str(u"/bible/v1/web").size());
      EXPECT_EQ(Str(b.path), expected);
    }
  }
  EXPECT_EQ(Str(ChapterTable[1189].path), u"/bible/v1/kjv/GEN.json");
  EXPECT_EQ(Str(ChapterTable.back().path), u"/bible/v1/darby/REV.json");
}

TEST(OfflineVersesTest, TenBackupVersesWithTheirTypography) {
  ASSERT_EQ(ScriptureCategories.size(), 2u);
  EXPECT_EQ(ScriptureCategories[0], u"All categories");
  EXPECT_EQ(ScriptureCategories[1], u"Offline backup");
  ASSERT_EQ(OfflineVerses.size(), 10u);
  std::set<std::u16string> references;
  for (const OfflineVerse& v : OfflineVerses) {
    EXPECT_EQ(Str(v.category), u"Offline backup");
    references.insert(v.reference);
  }
  EXPECT_EQ(references.size(), 10u);
  EXPECT_EQ(Str(OfflineVerses[0].reference), u"Psalms 23:1");
  EXPECT_EQ(Str(OfflineVerses[8].reference), u"1 Peter 5:6-7");
  EXPECT_EQ(Str(OfflineVerses[2].text).substr(0, 6), u"Don\u2019t ");
  const std::u16string matthew = OfflineVerses[3].text;
  EXPECT_EQ(matthew.front(), u'\u201C');
  EXPECT_EQ(matthew.find(u'\u201D'), std::u16string::npos);
  EXPECT_EQ(Str(OfflineVerses[9].text), u"We love him, because he first loved us.");
}

OfflineVerseBag SeededBag(std::uint32_t seed) {
  OfflineVerseBag bag;
  SeedOfflineVerseBag(bag, seed);
  return bag;
}

std::int32_t Draw(OfflineVerseBag& bag, std::int32_t category) {
  return DrawOfflineVerse(bag, category, OfflineVerses, ScriptureCategories);
}

TEST(OfflineVerseBagTest, SeedingEmptiesTheBag) {
  OfflineVerseBag bag = SeededBag(1);
  Draw(bag, 0);
  SeedOfflineVerseBag(bag, 1);
  EXPECT_TRUE(bag.remaining.empty());
  EXPECT_EQ(bag.bagCategory, -1);
  EXPECT_EQ(bag.lastDrawn, -1);
}

TEST(OfflineVerseBagTest, EachBagDrawsEveryVerseOnceAndNeverRepeatsAcrossBags) {
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    OfflineVerseBag bag = SeededBag(seed);
    std::int32_t previous = -1;
    for (int round = 0; round < 5; ++round) {
      std::set<std::int32_t> drawn;
      for (int k = 0; k < 10; ++k) {
        const std::int32_t index = Draw(bag, 0);
        ASSERT_NE(index, previous) << "seed " << seed;
        drawn.insert(index);
        previous = index;
      }
      ASSERT_EQ(drawn, (std::set<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    }
  }
}

TEST(OfflineVerseBagTest, SeedIsRepeatable) {
  OfflineVerseBag a = SeededBag(77);
  OfflineVerseBag b = SeededBag(77);
  for (int k = 0; k < 30; ++k)
    EXPECT_EQ(Draw(a, 0), Draw(b, 0));
}

TEST(OfflineVerseBagTest, OutOfRangeCategoriesBehaveAsAllCategories) {
  for (const std::int32_t category : {-1, 2, 100, INT32_MIN}) {
    OfflineVerseBag all = SeededBag(5);
    OfflineVerseBag other = SeededBag(5);
    for (int k = 0; k < 25; ++k)
      EXPECT_EQ(Draw(other, category), Draw(all, 0)) << category;
    EXPECT_EQ(other.bagCategory, 0);
  }
}

TEST(OfflineVerseBagTest, ChangingCategoryDiscardsTheRestOfTheBag) {
  OfflineVerseBag bag = SeededBag(9);
  Draw(bag, 0);
  Draw(bag, 0);
  ASSERT_EQ(bag.remaining.size(), 8u);
  const std::int32_t index = Draw(bag, 1);
  EXPECT_GE(index, 0);
  EXPECT_EQ(bag.bagCategory, 1);
  EXPECT_EQ(bag.remaining.size(), 9u);
}

TEST(OfflineVerseBagTest, CategoryThatNoVerseCarriesDrawsNothing) {
  const std::vector<std::u16string> categories = {u"All categories", u"Offline backup",
                                                  u"Offline backup ", u"offline backup"};
  OfflineVerseBag bag = SeededBag(3);
  const std::int32_t first = DrawOfflineVerse(bag, 1, OfflineVerses, categories);
  for (const std::int32_t category : {2, 3, 2}) {
    EXPECT_EQ(DrawOfflineVerse(bag, category, OfflineVerses, categories), -1);
    EXPECT_EQ(bag.lastDrawn, first);
    EXPECT_TRUE(bag.remaining.empty());
  }
}

TEST(OfflineVerseBagTest, SingleVerseCategoryRepeatsThatVerse) {
  const std::vector<OfflineVerse> verses = {{u"A", u"R 1:1", u"one"}, {u"B", u"R 1:2", u"two"}};
  const std::vector<std::u16string> categories = {u"All", u"A", u"B"};
  OfflineVerseBag bag = SeededBag(11);
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(DrawOfflineVerse(bag, 2, verses, categories), 1);
  EXPECT_EQ(DrawOfflineVerse(bag, 0, {}, categories), -1);
}

TEST(OfflineVerseBagTest, SeedOneTwentyThreeNeverRepeatsInAHundredDraws) {
  for (std::int32_t category = 0; category < 2; ++category) {
    OfflineVerseBag bag = SeededBag(123);
    std::int32_t previous = -1;
    for (int k = 0; k < 100; ++k) {
      const std::int32_t index = Draw(bag, category);
      ASSERT_GE(index, 0);
      ASSERT_NE(index, previous);
      previous = index;
    }
  }
}

}  // namespace
}  // namespace companion
