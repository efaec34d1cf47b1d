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

bool IsSpace(char16_t c) {
  if (c < 0x100) return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0;
  return InRanges(kSpaceRanges, c);
}

bool IsUpper(char16_t c) {
  if (c < 0x100) return (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
  return InRanges(kUpperRanges, c);
}

bool IsDigit(char16_t c) {
  if (c < 0x100) return (c >= u'0' && c <= u'9') || c == 0xB2 || c == 0xB3 || c == 0xB9;
  return InRanges(kDigitRanges, c);
}

}  // namespace companion
