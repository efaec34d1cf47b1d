#include "scripture/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace companion {
namespace {

using std::u16string;

// Chapters of each book in canonical order; web and darby count a few verses differently.
const int kBookChapters[] = {50, 40,  27, 36, 34, 24, 21, 4,  31, 24, 22, 25, 29, 36, 10, 13, 10,
                             42, 150, 31, 12, 8,  66, 52, 5,  48, 12, 14, 3,  9,  1,  4,  7,  3,
                             3,  3,   2,  14, 4,  28, 16, 24, 21, 28, 16, 16, 13, 6,  6,  4,  4,
                             5,  3,   6,  4,  3,  1,  13, 5,  5,  3,  5,  1,  1,  1,  22};

// Translation-major rows: every translation lists the same books in the same order, chapters
// 1..n without gaps, under its own code's path.
TEST(ChapterTableTest, EveryTranslationListsTheBooksChapterByChapter) {
  const char16_t* kCodes[] = {u"web", u"kjv", u"asv", u"ylt", u"darby"};
  const int kTotals[] = {31103, 31102, 31102, 31102, 31099};
  ASSERT_EQ(ChapterTable.size(), 5u * 1189);
  for (std::size_t t = 0; t < 5; ++t) {
    ASSERT_EQ(u16string(TranslationTable[t].code), kCodes[t]);
    const u16string prefix = u"/bible/v1/" + u16string(kCodes[t]) + u"/";
    std::set<u16string> names, paths;
    std::size_t i = 0;
    int total = 0;
    for (std::size_t b = 0; b < std::size(kBookChapters); ++b) {
      const u16string name = ChapterTable[t * 1189 + i].bookName;
      const u16string path = ChapterTable[t * 1189 + i].path;
      ASSERT_EQ(path, prefix + u16string(ChapterTable[i].path).substr(14)) << i;
      names.insert(name);
      paths.insert(path);
      for (int c = 1; c <= kBookChapters[b]; ++c, ++i) {
        const ChapterEntry& row = ChapterTable[t * 1189 + i];
        ASSERT_TRUE(row.translationIndex == int(t) && row.chapter == c && row.path == path) << i;
        ASSERT_TRUE(row.bookName == name && name == ChapterTable[i].bookName) << i;
        total += row.verseCount;
      }
    }
    EXPECT_TRUE(i == 1189u && names.size() == 66u && paths.size() == 66u) << t;
    EXPECT_EQ(total, kTotals[t]) << t;
  }
  EXPECT_EQ(u16string(ChapterTable[0].path), u"/bible/v1/web/GEN.json");
  EXPECT_EQ(u16string(ChapterTable.back().bookName), u"Revelation");
}

// The bag tests below draw from the ten offline verses, all of the "Offline backup" category.
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
    OfflineVerseBag bag = SeededBag(seed);
    std::int32_t previous = -1;
    for (int round = 0; round < 5; ++round) {
      std::set<std::int32_t> drawn;
      for (int k = 0; k < 10; ++k) {
        const std::int32_t index = Draw(bag, 1);
        ASSERT_NE(std::exchange(previous, index), index) << "seed " << seed;
        drawn.insert(index);
      }
      ASSERT_EQ(drawn.size(), 10u);
    }
  }
}

TEST(OfflineVerseBagTest, OutOfRangeCategoriesBehaveAsAllCategories) {
  OfflineVerseBag all = SeededBag(5);
  OfflineVerseBag other = SeededBag(5);
  for (int k = 0; k < 25; ++k)
    EXPECT_EQ(Draw(other, 2), Draw(all, 0));
  EXPECT_EQ(other.bagCategory, 0);
}

TEST(OfflineVerseBagTest, ChangingCategoryDiscardsTheRestOfTheBag) {
  OfflineVerseBag bag = SeededBag(9);
  Draw(bag, 0);
  Draw(bag, 0);
  Draw(bag, 1);
  EXPECT_EQ(bag.remaining.size(), 9u);
}

TEST(OfflineVerseBagTest, OneVerseCategoryRepeatsItAndAnEmptyOneDrawsNothing) {
  const std::vector<OfflineVerse> verses = {{u"A", u"R 1:1", u"one"}, {u"B", u"R 1:2", u"two"}};
  const std::vector<u16string> categories = {u"All", u"A", u"B", u"B ", u"b"};
  OfflineVerseBag bag = SeededBag(11);
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(DrawOfflineVerse(bag, 2, verses, categories), 1);
  // Only exact names match; drawing nothing leaves the last verse drawn as it was.
  for (const std::int32_t category : {3, 4}) {
    EXPECT_EQ(DrawOfflineVerse(bag, category, verses, categories), -1);
    EXPECT_EQ(bag.lastDrawn, 1);
    EXPECT_TRUE(bag.remaining.empty());
  }
  EXPECT_EQ(DrawOfflineVerse(bag, 0, {}, categories), -1);
}

}  // namespace
}  // namespace companion
