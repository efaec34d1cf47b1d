#include "bubble/bubble_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace companion {
namespace {

// {work left, top, right, bottom, character scale, fit scale, position x, y, sink, height}
constexpr BubbleInputs Inputs(int32_t right, int32_t bottom, float scale, int32_t x, int32_t y,
                              int32_t height) {
  return {0, 0, right, bottom, scale, scale, x, y, 0, height};
}

// x, y, width, height, tail at the top, tail x
auto Fields(const BubblePlacement& p) {
  return std::tuple(p.x, p.y, p.width, p.height, p.tailAtTop, std::lround(p.tailX));
}

TEST(PlaceBubble, WorkedExamples) {
  EXPECT_EQ(Fields(PlaceBubble(Inputs(1920, 1040, 1.0f, 1600, 850, 120))),
            std::tuple(1562, 752, 350, 120, false, 178L))
      << "near the right edge, above";
  EXPECT_EQ(Fields(PlaceBubble(Inputs(1920, 1040, 1.0f, 100, -10, 120))),
            std::tuple(65, 180, 350, 120, true, 175L))
      << "dragged above the top, below";
  EXPECT_EQ(Fields(PlaceBubble(Inputs(1366, 728, 1.0f, 600, 538, 700))),
            std::tuple(602, 8, 276, 552, false, 175L))
      << "half the work area caps a tall text";
  EXPECT_EQ(Fields(PlaceBubble({0, 0, 1920, 1040, 1.0f, 1.0f, 1000, 850, 7, 120})),
            std::tuple(965, 759, 350, 120, false, 175L))
      << "sinking lowers the anchor";
  EXPECT_EQ(Fields(PlaceBubble({-1920, 40, 0, 1080, 1.0f, 1.0f, -1000, 500, 0, 120})),
            std::tuple(-1035, 402, 350, 120, false, 175L))
      << "work area left of and below the origin";
  const BubblePlacement larger = PlaceBubble(Inputs(1920, 1040, 1.5f, 1000, 800, 200));
  EXPECT_EQ(Fields(larger), std::tuple(948, 533, 525, 300, false, 175L)) << "scale one and a half";
  EXPECT_FLOAT_EQ(larger.scale, 1.5f);
}

// The bubble is held 8 pixels inside the work area while the figure goes on to the edge.
TEST(PlaceBubble, TailStaysBetweenTheCornerArcs) {
  EXPECT_EQ(PlaceBubble(Inputs(1920, 1040, 1.0f, -140, 850, 120)).tailX, 24.0f);
  EXPECT_EQ(PlaceBubble(Inputs(1920, 1040, 1.0f, 1900, 850, 120)).tailX, 326.0f);
}

TEST(PlaceBubble, DegenerateWorkAreaStillGivesAPixel) {
  for (const BubbleInputs& in : {Inputs(0, 0, 1.0f, 0, 0, 120), Inputs(10, 10, 1.0f, 0, 0, 1060),
                                 Inputs(1920, 1040, 1.0f, 100, 100, 0)}) {
    const BubblePlacement p = PlaceBubble(in);
    EXPECT_GE(std::min(p.width, p.height), 1);
    EXPECT_GE(p.scale, 0.01f);
    EXPECT_TRUE(p.tailX >= 24.0f && p.tailX <= 326.0f) << p.tailX;  // also not NaN
  }
}

TEST(BubbleHeightForText, CeilingPlusSixtyAtLeastEightyFiveAtMost1060) {
  EXPECT_EQ(BubbleHeightForText(std::numeric_limits<float>::quiet_NaN()), 85);
  EXPECT_EQ(BubbleHeightForText(25.01f), 86);
  EXPECT_EQ(BubbleHeightForText(5000.0f), 1060);
}

// An unknown code stands for itself.
TEST(BubbleHintText, ReferenceAndTranslationName) {
  EXPECT_EQ(BubbleHintText(false, false, u"John 3:16", u"kjv"),
            u"John 3:16 \u00B7 King James Version");
  EXPECT_EQ(BubbleHintText(false, true, u"Psalms 23:1", u"kjv"),
            u"Psalms 23:1 \u00B7 WEB (offline backup)");
  EXPECT_EQ(BubbleHintText(true, false, u"John 3:16", u"kjv"),
            u"Click for optional financial support");
}

TEST(BuildReferenceUrl, EncodesEverythingOutsideTheUnreservedSet) {
  const std::u16string page = u"https://scrollwick.org/bible?ref=";
  EXPECT_EQ(BuildReferenceUrl(u"a.b_c~d+e&f=g/h? :", u"ylt"),
            page + u"a.b_c~d%2Be%26f%3Dg%2Fh%3F%20%3A&translation=ylt");
  // Above 0x7F the reference's UTF-8 bytes are encoded, one %XX each.
  EXPECT_EQ(BuildReferenceUrl(u"\u00E9\u4E00", u"web"), page + u"%C3%A9%E4%B8%80&translation=web");
  EXPECT_EQ(BuildReferenceUrl(u"x\xD800y", u"web"), page + u"x%EF%BF%BDy&translation=web");
}

}  // namespace
}  // namespace companion
