#include "scripture/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace companion {
namespace {

using std::u16string;

TEST(ChapterTableTest, EveryTranslationListsWebsBooksChapterByChapterUnderItsCode) {
  const std::pair<u16string, int> kTranslations[] = {
      {u"web", 31103}, {u"kjv", 31102}, {u"asv", 31102}, {u"ylt", 31102}, {u"darby", 31099}};
  ASSERT_EQ(ChapterTable.size(), 5u * 1189);
  for (std::size_t t = 0; t < 5; ++t) {
    const auto& [code, verses] = kTranslations[t];
    ASSERT_EQ(TranslationTable[t].code, code);
    std::set<u16string> paths;
    int total = 0;
    for (std::size_t i = 0, c = t * 1189; i < 1189; ++i, ++c) {
      const ChapterEntry &row = ChapterTable[c], &web = ChapterTable[i];
      const bool newBook = paths.insert(row.path).second;
      ASSERT_EQ(row.chapter, newBook ? 1 : ChapterTable[c - 1].chapter + 1) << c;
      ASSERT_EQ(row.path, u"/bible/v1/" + code + u16string(web.path).substr(13)) << c;
      ASSERT_TRUE(row.translationIndex == int(t) && row.bookName == u16string(web.bookName)) << c;
      total += row.verseCount;
    }
    EXPECT_TRUE(paths.size() == 66u && total == verses) << t;
  }
}

// Category 1 holds all ten offline verses: no draw repeats the one before, even across bags.
TEST(OfflineVerseBagTest, EachBagDrawsEveryVerseOnceAndNeverRepeatsAcrossBags) {
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    OfflineVerseBag bag;
    SeedOfflineVerseBag(bag, seed);
    std::set<std::int32_t> drawn;
    for (std::int32_t k = 0, previous = -1; k < 50; ++k) {
      const std::int32_t i = DrawOfflineVerse(bag, 1, OfflineVerses, ScriptureCategories);
      ASSERT_TRUE(i != std::exchange(previous, i) && drawn.insert(k / 10 * 10 + i).second) << seed;
    }
  }
}

// A category change starts a new bag, out-of-range numbers mean all, names match exactly.
TEST(OfflineVerseBagTest, CategoriesSelectTheBag) {
  const std::vector<OfflineVerse> verses = {{u"A", u"R 1:1", u"one"}, {u"B", u"R 1:2", u"two"}};
  const std::vector<u16string> categories = {u"All", u"A", u"B", u"B ", u"b"};
  const std::pair<std::int32_t, std::int32_t> kDraws[] = {
      {2, 1}, {0, 0}, {1, 0}, {2, 1}, {2, 1}, {-1, 0}, {2, 1}, {5, 0}, {3, -1}, {4, -1}};
  OfflineVerseBag bag;
  for (const auto& [category, expected] : kDraws)
    ASSERT_EQ(DrawOfflineVerse(bag, category, verses, categories), expected) << category;
  EXPECT_EQ(bag.lastDrawn, 0);
  EXPECT_EQ(DrawOfflineVerse(bag, 0, {}, categories), -1);
}

}  // namespace
}  // namespace companion
