#include "scripture/book_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace companion {
namespace {

// Each book's share of 4000 draws among the files named (each 1000 bytes, used at time 1).
std::map<std::u16string, double> DrawShares(const std::vector<std::u16string>& names) {
  std::vector<CachedBook> cached;
  for (const std::u16string& name : names)
    cached.push_back({name, 1000, 1});
  std::map<std::u16string, double> shares;
  std::mt19937 generator(7);
  for (int i = 0; i < 4000; ++i) {
    if (const ChapterEntry* row = PickCachedChapter(1, cached, generator))
      shares[row->bookName] += 1.0 / 4000;
  }
  return shares;
}

// Only the selected translation's cached books count, each chapter by its verses: Obadiah's
// one chapter (21 verses) against Philemon's (25). 0.03 is over four standard deviations.
TEST(PickCachedChapterTest, DrawsByVerseWeightAmongTheTranslationsCachedBooksOnly) {
  EXPECT_TRUE(DrawShares({u"web\\OBA.json", u"kjv\\OBA.json.tmp", u"kjv\\OBA"}).empty());
  const auto shares = DrawShares({u"kjv\\PHM.json", u"web\\GEN.json", u"kjv\\OBA.json"});
  EXPECT_NEAR(shares.at(u"Obadiah"), 21.0 / 46, 0.03);
  EXPECT_NEAR(shares.at(u"Philemon"), 25.0 / 46, 0.03);
}

TEST(CachedBooksToEvictTest, LeftoversThenLeastRecentlyUsedUntilTheRestFits) {
  using Names = std::set<std::u16string>;
  const std::vector<CachedBook> kFiles = {{u"web\\B.json", 20, 3},
                                          {u"web\\A.json", 5, 1},
                                          {u"kjv\\C.json", 5, 1},
                                          {u"web\\D.json.tmp", 100, 2}};
  const auto evicted = [&](std::uint64_t maxBytes) {
    const std::vector<std::u16string> names = CachedBooksToEvict(kFiles, maxBytes);
    return Names(names.begin(), names.end());
  };
  EXPECT_EQ(evicted(30), Names({u"web\\D.json.tmp"}));
  EXPECT_EQ(evicted(25), Names({u"web\\D.json.tmp", u"kjv\\C.json"}));  // equal times: the name
  EXPECT_EQ(evicted(24), Names({u"web\\D.json.tmp", u"kjv\\C.json", u"web\\A.json"}));
  EXPECT_EQ(evicted(0).size(), kFiles.size());
  EXPECT_TRUE(CachedBooksToEvict({}, 0).empty());
}

}  // namespace
}  // namespace companion
