#include "bubble/bubble_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

namespace companion {
namespace {

auto Fields(const BubblePlacement& p) {
  return std::tuple(p.x, p.y, p.width, p.height, p.scale, p.tailAtTop, std::lround(p.tailX));
}

// Near the right edge; dragged above the top (below it); half the work area caps a tall text;
// sinking lowers the anchor; a work area left of and below the origin; scale one and a half; the
// tail's tip between the corner arcs on both sides; three degenerate areas still give a pixel.
TEST(PlaceBubble, WorkedExamples) {
  const std::pair<BubbleInputs, decltype(Fields({}))> kCases[] = {
      {{0, 0, 1920, 1040, 1, 1, 1600, 850, 0, 120}, {1562, 752, 350, 120, 1, false, 178}},
      {{0, 0, 1920, 1040, 1, 1, 100, -10, 0, 120}, {65, 180, 350, 120, 1, true, 175}},
      {{0, 0, 1366, 728, 1, 1, 600, 538, 0, 700}, {602, 8, 276, 552, 552.0f / 700, false, 175}},
      {{0, 0, 1920, 1040, 1, 1, 1000, 850, 7, 120}, {965, 759, 350, 120, 1, false, 175}},
      {{-1920, 40, 0, 1080, 1, 1, -1000, 500, 0, 120}, {-1035, 402, 350, 120, 1, false, 175}},
      {{0, 0, 1920, 1040, 1.5f, 1.5f, 1000, 800, 0, 200}, {948, 533, 525, 300, 1.5f, false, 175}},
      {{0, 0, 1920, 1040, 1, 1, -140, 850, 0, 120}, {8, 752, 350, 120, 1, false, 24}},
      {{0, 0, 1920, 1040, 1, 1, 1900, 850, 0, 120}, {1562, 752, 350, 120, 1, false, 326}},
      {{0, 0, 0, 0, 1, 1, 0, 0, 0, 120}, {8, 8, 3, 1, 0.01f, false, 326}},
      {{0, 0, 10, 10, 1, 1, 0, 0, 0, 1060}, {8, 8, 3, 10, 0.01f, false, 326}},
      {{0, 0, 1920, 1040, 1, 1, 100, 100, 0, 0}, {65, 121, 350, 1, 1, false, 175}},
  };
  for (const auto& [in, expected] : kCases)
    EXPECT_EQ(Fields(PlaceBubble(in)), expected) << in.positionX << "," << in.workRight;
}

TEST(BubbleHeightForText, CeilingPlusSixtyAtLeastEightyFiveAtMost1060) {
  EXPECT_EQ(BubbleHeightForText(std::numeric_limits<float>::quiet_NaN()), 85);
  EXPECT_EQ(BubbleHeightForText(25.01f), 86);
  EXPECT_EQ(BubbleHeightForText(5000.0f), 1060);
}

TEST(BubbleHintText, ReferenceAndTranslationName) {
  EXPECT_EQ(BubbleHintText(false, false, u"J 1:1", u"kjv"), u"J 1:1 \u00B7 King James Version");
  EXPECT_EQ(BubbleHintText(false, true, u"P 2:3", u"kjv"), u"P 2:3 \u00B7 WEB (offline backup)");
  EXPECT_EQ(BubbleHintText(true, false, u"J 1:1", u"kjv"), u"Click for optional financial support");
}

TEST(BuildReferenceUrl, EncodesEverythingOutsideTheUnreservedSet) {
  const std::u16string page = u"https://scrollwick.org/bible?ref=";
  EXPECT_EQ(BuildReferenceUrl(u"a.b_c~d+e&f=g/h? :", u"ylt"),
            page + u"a.b_c~d%2Be%26f%3Dg%2Fh%3F%20%3A&translation=ylt");
  EXPECT_EQ(BuildReferenceUrl(u"\u00E9\u4E00", u"web"), page + u"%C3%A9%E4%B8%80&translation=web");
  EXPECT_EQ(BuildReferenceUrl(u"x\xD800y", u"web"), page + u"x%EF%BF%BDy&translation=web");
}

}  // namespace
}  // namespace companion
