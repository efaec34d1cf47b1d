#include "scripture/book_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace companion {
namespace {

// Only the selected translation's cached books count, each chapter by its verses: Obadiah's
// one chapter (21 verses) against Philemon's (25).
TEST(PickCachedChapterTest, DrawsByVerseWeightAmongTheTranslationsCachedBooksOnly) {
  struct Case {
    std::vector<std::u16string> cached;
    std::map<std::u16string, double> expectedShares;  // by book; empty: nothing to draw
  };
  const Case kCases[] = {
      {{u"web\\OBA.json", u"kjv\\OBA.json.tmp", u"kjv\\OBA"}, {}},
      {{u"kjv\\OBA.json"}, {{u"Obadiah", 1.0}}},
      {{u"kjv\\PHM.json", u"web\\GEN.json", u"kjv\\OBA.json"},
       {{u"Obadiah", 21.0 / 46}, {u"Philemon", 25.0 / 46}}},
  };
  for (const Case& c : kCases) {
    std::vector<CachedBook> cached;
    for (const std::u16string& name : c.cached)
      cached.push_back({name, 1000, 1});
    std::map<std::u16string, int> counts;
    constexpr int kDraws = 4000;
    std::mt19937 generator(7);
    for (int i = 0; i < kDraws; ++i) {
      const ChapterEntry* row = PickCachedChapter(1, cached, generator);
      if (row != nullptr) ++counts[row->bookName];
    }
    EXPECT_EQ(counts.size(), c.expectedShares.size()) << c.cached.size() << " cached";
    for (const auto& [book, share] : c.expectedShares)  // 0.03 is over four standard deviations
      EXPECT_NEAR(counts[book] / double{kDraws}, share, 0.03)
          << std::string(book.begin(), book.end());
  }
}

TEST(CachedBooksToEvictTest, LeftoversThenLeastRecentlyUsedUntilTheRestFits) {
  const std::vector<CachedBook> kFiles = {{u"web\\B.json", 20, 3},
                                          {u"web\\A.json", 5, 1},
                                          {u"kjv\\C.json", 5, 1},
                                          {u"web\\D.json.tmp", 100, 2}};
  struct Case {
    std::uint64_t maxBytes;
    std::set<std::u16string> evicted;
  };
  const Case kCases[] = {
      {30, {u"web\\D.json.tmp"}},
      {25, {u"web\\D.json.tmp", u"kjv\\C.json"}},  // equal times: the name decides
      {24, {u"web\\D.json.tmp", u"kjv\\C.json", u"web\\A.json"}},
      {0, {u"web\\D.json.tmp", u"kjv\\C.json", u"web\\A.json", u"web\\B.json"}},
  };
  for (const Case& c : kCases) {
    const std::vector<std::u16string> evicted = CachedBooksToEvict(kFiles, c.maxBytes);
    EXPECT_EQ(std::set<std::u16string>(evicted.begin(), evicted.end()), c.evicted) << c.maxBytes;
  }
  EXPECT_TRUE(CachedBooksToEvict({}, 0).empty());
}

}  // namespace
}  // namespace companion
