#include "scripture/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace companion {
namespace {

std::u16string Str(const char16_t* s) {
  return s;
}

std::string Narrow(std::u16string_view s) {
  return {s.begin(), s.end()};
}

// Translation-major rows: each translation lists the books in canonical order, chapters 1..n,
// under its own code; the chapters and verses per book are those of the standard versification,
// independent of the derived per-chapter counts.
TEST(ChapterTableTest, BooksInCanonicalOrderWithStandardAndTranslationTotals) {
  struct Book {
    const char16_t* code;
    const char16_t* name;
    int chapters;
    int verses;
  };
  // clang-format off
  const Book kBooks[] = {
      {u"GEN", u"Genesis", 50, 1533},          {u"EXO", u"Exodus", 40, 1213},
      {u"LEV", u"Leviticus", 27, 859},         {u"NUM", u"Numbers", 36, 1288},
      {u"DEU", u"Deuteronomy", 34, 959},       {u"JOS", u"Joshua", 24, 658},
      {u"JDG", u"Judges", 21, 618},            {u"RUT", u"Ruth", 4, 85},
      {u"1SA", u"1 Samuel", 31, 810},          {u"2SA", u"2 Samuel", 24, 695},
      {u"1KI", u"1 Kings", 22, 816},           {u"2KI", u"2 Kings", 25, 719},
      {u"1CH", u"1 Chronicles", 29, 942},      {u"2CH", u"2 Chronicles", 36, 822},
      {u"EZR", u"Ezra", 10, 280},              {u"NEH", u"Nehemiah", 13, 406},
      {u"EST", u"Esther", 10, 167},            {u"JOB", u"Job", 42, 1070},
      {u"PSA", u"Psalms", 150, 2461},          {u"PRO", u"Proverbs", 31, 915},
      {u"ECC", u"Ecclesiastes", 12, 222},      {u"SNG", u"Song of Solomon", 8, 117},
      {u"ISA", u"Isaiah", 66, 1292},           {u"JER", u"Jeremiah", 52, 1364},
      {u"LAM", u"Lamentations", 5, 154},       {u"EZK", u"Ezekiel", 48, 1273},
      {u"DAN", u"Daniel", 12, 357},            {u"HOS", u"Hosea", 14, 197},
      {u"JOL", u"Joel", 3, 73},                {u"AMO", u"Amos", 9, 146},
      {u"OBA", u"Obadiah", 1, 21},             {u"JON", u"Jonah", 4, 48},
      {u"MIC", u"Micah", 7, 105},              {u"NAM", u"Nahum", 3, 47},
      {u"HAB", u"Habakkuk", 3, 56},            {u"ZEP", u"Zephaniah", 3, 53},
      {u"HAG", u"Haggai", 2, 38},              {u"ZEC", u"Zechariah", 14, 211},
      {u"MAL", u"Malachi", 4, 55},             {u"MAT", u"Matthew", 28, 1071},
      {u"MRK", u"Mark", 16, 678},              {u"LUK", u"Luke", 24, 1151},
      {u"JHN", u"John", 21, 879},              {u"ACT", u"Acts", 28, 1007},
      {u"ROM", u"Romans", 16, 433},            {u"1CO", u"1 Corinthians", 16, 437},
      {u"2CO", u"2 Corinthians", 13, 257},     {u"GAL", u"Galatians", 6, 149},
      {u"EPH", u"Ephesians", 6, 155},          {u"PHP", u"Philippians", 4, 104},
      {u"COL", u"Colossians", 4, 95},          {u"1TH", u"1 Thessalonians", 5, 89},
      {u"2TH", u"2 Thessalonians", 3, 47},     {u"1TI", u"1 Timothy", 6, 113},
      {u"2TI", u"2 Timothy", 4, 83},           {u"TIT", u"Titus", 3, 46},
      {u"PHM", u"Philemon", 1, 25},            {u"HEB", u"Hebrews", 13, 303},
      {u"JAS", u"James", 5, 108},              {u"1PE", u"1 Peter", 5, 105},
      {u"2PE", u"2 Peter", 3, 61},             {u"1JN", u"1 John", 5, 105},
      {u"2JN", u"2 John", 1, 13},              {u"3JN", u"3 John", 1, 14},
      {u"JUD", u"Jude", 1, 25},                {u"REV", u"Revelation", 22, 404},
  };
  // clang-format on
  const char16_t* kCodes[] = {u"web", u"kjv", u"asv", u"ylt", u"darby"};
  const int kTotals[] = {31103, 31102, 31102, 31102, 31099};
  std::size_t row = 0;
  for (std::size_t t = 0; t < 5; ++t) {
    ASSERT_EQ(Str(TranslationTable[t].code), kCodes[t]);
    int total = 0;
    for (const Book& book : kBooks) {
      const std::u16string path = u"/bible/v1/" + Str(kCodes[t]) + u"/" + book.code + u".json";
      int verses = 0;
      for (int c = 1; c <= book.chapters; ++c, ++row) {
        ASSERT_EQ(Str(ChapterTable[row].bookName), book.name) << row;
        ASSERT_EQ(Str(ChapterTable[row].path), path) << row;
        ASSERT_EQ(ChapterTable[row].chapter, c) << row;
        ASSERT_EQ(ChapterTable[row].translationIndex, static_cast<int>(t)) << row;
        verses += ChapterTable[row].verseCount;
      }
      total += verses;
      // web and darby differ in five chapters, checked below.
      if (t == 0 || t == 4) continue;
      EXPECT_EQ(verses, book.verses) << Narrow(book.name) << " t=" << t;
    }
    EXPECT_EQ(total, kTotals[t]) << t;
  }
  EXPECT_EQ(row, ChapterTable.size());
}

TEST(ChapterTableTest, NamedChaptersAndTheFiveThatDiffer) {
  struct Case {
    const char16_t* book;
    int chapter;
    int verses[5];  // web, kjv, asv, ylt, darby
  };
  const Case kCases[] = {
      {u"Psalms", 119, {176, 176, 176, 176, 176}}, {u"Psalms", 117, {2, 2, 2, 2, 2}},
      {u"Matthew", 23, {39, 39, 39, 39, 38}},      {u"Acts", 8, {40, 40, 40, 40, 39}},
      {u"Acts", 15, {41, 41, 41, 41, 40}},         {u"Romans", 14, {26, 23, 23, 23, 23}},
      {u"Romans", 16, {25, 27, 27, 27, 27}},
  };
  for (const Case& c : kCases) {
    int found = 0;
    for (const ChapterEntry& row : ChapterTable) {
      if (row.bookName != std::u16string_view(c.book) || row.chapter != c.chapter) continue;
      EXPECT_EQ(row.verseCount, c.verses[row.translationIndex]) << c.chapter;
      ++found;
    }
    EXPECT_EQ(found, 5) << c.chapter;
  }
}

TEST(OfflineVersesTest, TenDistinctBackupVersesWithTheirTypography) {
  ASSERT_EQ(ScriptureCategories.size(), 2u);
  EXPECT_EQ(ScriptureCategories[1], u"Offline backup");
  ASSERT_EQ(OfflineVerses.size(), 10u);
  std::set<std::u16string> references;
  for (const OfflineVerse& v : OfflineVerses) {
    EXPECT_EQ(Str(v.category), u"Offline backup");
    references.insert(v.reference);
  }
  EXPECT_EQ(references.size(), 10u);
  EXPECT_EQ(Str(OfflineVerses[2].text).substr(0, 6), u"Don\u2019t ");
}

OfflineVerseBag SeededBag(std::uint32_t seed) {
  OfflineVerseBag bag;
  SeedOfflineVerseBag(bag, seed);
  return bag;
}

std::int32_t Draw(OfflineVerseBag& bag, std::int32_t category) {
  return DrawOfflineVerse(bag, category, OfflineVerses, ScriptureCategories);
}

TEST(OfflineVerseBagTest, EachBagDrawsEveryVerseOnceAndNeverRepeatsAcrossBags) {
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    for (std::int32_t category = 0; category < 2; ++category) {
      OfflineVerseBag bag = SeededBag(seed);
      std::int32_t previous = -1;
      for (int round = 0; round < 5; ++round) {
        std::set<std::int32_t> drawn;
        for (int k = 0; k < 10; ++k) {
          const std::int32_t index = Draw(bag, category);
          ASSERT_NE(index, previous) << "seed " << seed;
          drawn.insert(index);
          previous = index;
        }
        ASSERT_EQ(drawn, (std::set<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
      }
    }
  }
}

TEST(OfflineVerseBagTest, ReseedingRestartsTheSameSequence) {
  OfflineVerseBag used = SeededBag(77);
  for (int k = 0; k < 13; ++k)
    Draw(used, 1);
  SeedOfflineVerseBag(used, 77);
  OfflineVerseBag fresh = SeededBag(77);
  for (int k = 0; k < 30; ++k)
    EXPECT_EQ(Draw(used, 0), Draw(fresh, 0)) << k;
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
  EXPECT_GE(Draw(bag, 1), 0);
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

}  // namespace
}  // namespace companion
