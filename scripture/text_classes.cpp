#include "scripture/text_classes.h"

#include <algorithm>
#include <iterator>

namespace companion {
namespace {

struct CharRange {
  char16_t first;
  char16_t last;
};

#include "scripture/text_classes_table.inc"

template <std::size_t N>
bool InRanges(const CharRange (&ranges)[N], char16_t c) {
  const CharRange* it =
      std::upper_bound(std::begin(ranges), std::end(ranges), c,
                       [](char16_t v, const CharRange& r) { return v < r.first; });
  return it != std::begin(ranges) && c <= std::prev(it)->last;
}

}  // namespace

bool IsSpaceAboveLatin1(char16_t c) {
  return InRanges(kSpaceRanges, c);
}
bool IsUpperAboveLatin1(char16_t c) {
  return InRanges(kUpperRanges, c);
}
bool IsDigitAboveLatin1(char16_t c) {
  return InRanges(kDigitRanges, c);
}

}  // namespace companion
