#include "scripture/catalogue.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace companion {
namespace {

struct CatalogueBook {
  const char16_t* code;
  const char16_t* name;
  int chapters;
};

struct DifferingChapter {
  const char16_t* bookCode;
  int chapter;
  int webVerses;
  int darbyVerses;
};

#include "scripture/chapter_verse_counts.inc"

constexpr int kWebIndex = 0;
constexpr int kDarbyIndex = 4;

int VerseCountFor(int translation, std::u16string_view bookCode, int chapter, int standard) {
  if (translation != kWebIndex && translation != kDarbyIndex) return standard;
  for (const DifferingChapter& d : kDifferingChapters) {
    if (d.bookCode == bookCode && d.chapter == chapter) {
      return translation == kWebIndex ? d.webVerses : d.darbyVerses;
    }
  }
  return standard;
}

// One path string per book and translation; the table points into it, so it is built in full
// before any row is made and never changes afterwards.
const std::vector<std::u16string>& BookPaths() {
  static const std::vector<std::u16string> paths = [] {
    std::vector<std::u16string> built;
    for (const TranslationInfo& t : TranslationTable) {
      for (const CatalogueBook& book : kCatalogueBooks) {
        built.push_back(u"/bible/v1/" + std::u16string(t.code) + u"/" + book.code + u".json");
      }
    }
    return built;
  }();
  return paths;
}

std::vector<ChapterEntry> BuildChapterTable() {
  const std::vector<std::u16string>& paths = BookPaths();
  std::vector<ChapterEntry> rows;
  rows.reserve(std::size(TranslationTable) * kChaptersPerTranslation);
  std::size_t pathIndex = 0;
  for (int t = 0; t < kTranslationCount; ++t) {
    const int* count = kStandardVerseCounts;
    for (const CatalogueBook& book : kCatalogueBooks) {
      const char16_t* path = paths[pathIndex++].c_str();
      for (int chapter = 1; chapter <= book.chapters; ++chapter, ++count) {
        rows.push_back({t, path, book.name, chapter, VerseCountFor(t, book.code, chapter, *count)});
      }
    }
  }
  return rows;
}

}  // namespace

const std::array<TranslationInfo, kTranslationCount> TranslationTable = {{
    {u"web", u"World English Bible"},
    {u"kjv", u"King James Version"},
    {u"asv", u"American Standard Version"},
    {u"ylt", u"Young's Literal Translation"},
    {u"darby", u"Darby Translation"},
}};

const std::vector<ChapterEntry> ChapterTable = BuildChapterTable();

const std::vector<std::u16string> ScriptureCategories = {u"All categories", u"Offline backup"};

const std::vector<OfflineVerse> OfflineVerses = {
    {u"Offline backup", u"Psalms 23:1", u"Yahweh is my shepherd; I shall lack nothing."},
    {u"Offline backup", u"Psalms 46:1",
     u"God is our refuge and strength, a very present help in trouble."},
    {u"Offline backup", u"Isaiah 41:10",
     u"Don\u2019t you be afraid, for I am with you. Don\u2019t be dismayed, for I am your God. I "
     u"will strengthen you. Yes, I will help you. Yes, I will uphold you with the right hand of "
     u"my righteousness."},
    {u"Offline backup", u"Matthew 11:28",
     u"\u201CCome to me, all you who labor and are heavily burdened, and I will give you rest."},
    {u"Offline backup", u"John 3:16",
     u"For God so loved the world, that he gave his only born Son, that whoever believes in him "
     u"should not perish, but have eternal life."},
    {u"Offline backup", u"Romans 8:28",
     u"We know that all things work together for good for those who love God, for those who are "
     u"called according to his purpose."},
    {u"Offline backup", u"Philippians 4:6",
     u"In nothing be anxious, but in everything, by prayer and petition with thanksgiving, let "
     u"your requests be made known to God."},
    {u"Offline backup", u"Philippians 4:13",
     u"I can do all things through Christ who strengthens me."},
    {u"Offline backup", u"1 Peter 5:6-7",
     u"Humble yourselves therefore under the mighty hand of God, that he may exalt you in due "
     u"time, casting all your worries on him, because he cares for you."},
    {u"Offline backup", u"1 John 4:19", u"We love him, because he first loved us."},
};

void SeedOfflineVerseBag(OfflineVerseBag& bag, std::uint32_t seed) {
  bag.generator.seed(seed);
  bag.remaining.clear();
  bag.bagCategory = -1;
  bag.lastDrawn = -1;
}

std::int32_t DrawOfflineVerse(OfflineVerseBag& bag, std::int32_t category,
                              std::span<const OfflineVerse> verses,
                              std::span<const std::u16string> categories) {
  std::int32_t c = category;
  if (c < 0 || static_cast<std::size_t>(c) >= categories.size()) c = 0;
  if (c != bag.bagCategory) {
    bag.remaining.clear();
    bag.bagCategory = c;
  }
  if (bag.remaining.empty()) {
    for (std::size_t i = 0; i < verses.size(); ++i) {
      if (c == 0 || std::u16string_view(verses[i].category) == categories[c]) {
        bag.remaining.push_back(static_cast<std::uint32_t>(i));
      }
    }
    if (bag.remaining.empty()) return -1;
    std::shuffle(bag.remaining.begin(), bag.remaining.end(), bag.generator);
    if (bag.remaining.size() > 1 &&
        bag.remaining.back() == static_cast<std::uint32_t>(bag.lastDrawn)) {
      std::swap(bag.remaining.front(), bag.remaining.back());
    }
  }
  bag.lastDrawn = static_cast<std::int32_t>(bag.remaining.back());
  bag.remaining.pop_back();
  return bag.lastDrawn;
}

}  // namespace companion
