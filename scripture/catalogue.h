// The constant Scripture catalogue: translations, the chapter table, categories and the offline
// verses, plus the shuffle bag that draws offline verses without an immediate repeat.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace companion {

struct TranslationInfo {
  const char16_t* code;  // lower-case code used in server paths and links
  const char16_t* name;  // display name
};

struct ChapterEntry {
  std::int32_t translationIndex;
  const char16_t* path;      // "/bible/v1/" + translation code + "/" + book code + ".json"
  const char16_t* bookName;  // the same in all translations; begins every reference
  std::int32_t chapter;      // from 1
  std::int32_t verseCount;   // weight of the chapter in the random choice
};

struct OfflineVerse {
  const char16_t* category;
  const char16_t* reference;
  const char16_t* text;
};

struct OfflineVerseBag {
  std::mt19937 generator;
  std::vector<std::uint32_t> remaining;  // the next verse is taken from the back
  std::int32_t bagCategory = -1;
  std::int32_t lastDrawn = -1;
};

inline constexpr int kTranslationCount = 5;
inline constexpr int kChaptersPerTranslation = 1189;

// Row number = translation index used everywhere else.
extern const std::array<TranslationInfo, kTranslationCount> TranslationTable;
// Translation-major, then canonical book order, then chapters 1..n: 5 x 1,189 rows.
extern const std::vector<ChapterEntry> ChapterTable;
// Index = category number; 0 means no filter.
extern const std::vector<std::u16string> ScriptureCategories;
extern const std::vector<OfflineVerse> OfflineVerses;

// Seeds the generator with the standard mt19937 initialisation and empties the bag.
void SeedOfflineVerseBag(OfflineVerseBag& bag, std::uint32_t seed);

// Returns the index of the next offline verse of `category` (out-of-range numbers mean 0), or -1
// when the category selects no verse. A new bag never starts with the verse that ended the last.
std::int32_t DrawOfflineVerse(OfflineVerseBag& bag, std::int32_t category,
                              std::span<const OfflineVerse> verses,
                              std::span<const std::u16string> categories);

}  // namespace companion
