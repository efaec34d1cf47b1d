#include "bubble/bubble_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace companion {
namespace {

// {work left, top, right, bottom, character scale, fit scale, position x, y, sink, height}
constexpr BubbleInputs Inputs(int32_t right, int32_t bottom, float scale, int32_t x, int32_t y,
                              int32_t height) {
  return {0, 0, right, bottom, scale, scale, x, y, 0, height};
}

TEST(PlaceBubble, WorkedExamples) {
  struct Case {
    const char* name;
    BubbleInputs given;
    BubblePlacement expected;
  };
  const Case kCases[] = {
      {"near the right edge, above",
       Inputs(1920, 1040, 1.0f, 1600, 850, 120),
       {1562, 752, 350, 120, 1.0f, false, 178.0f}},
      {"dragged above the top, below",
       Inputs(1920, 1040, 1.0f, 100, -10, 120),
       {65, 180, 350, 120, 1.0f, true, 175.0f}},
      {"scale one and a half",
       Inputs(1920, 1040, 1.5f, 1000, 800, 200),
       {948, 533, 525, 300, 1.5f, false, 174.666672f}},
      {"half the work area caps a tall text",
       Inputs(1366, 728, 1.0f, 600, 538, 700),
       {602, 8, 276, 552, 552.0f / 700.0f, false, 175.0f}},
      {"sinking lowers the anchor",
       {0, 0, 1920, 1040, 1.0f, 1.0f, 1000, 850, 7, 120},
       {965, 759, 350, 120, 1.0f, false, 175.0f}},
      {"work area left of and below the origin",
       {-1920, 40, 0, 1080, 1.0f, 1.0f, -1000, 500, 0, 120},
       {-1035, 402, 350, 120, 1.0f, false, 175.0f}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const BubblePlacement p = PlaceBubble(c.given);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
    EXPECT_EQ(p.width, c.expected.width);
    EXPECT_EQ(p.height, c.expected.height);
    EXPECT_FLOAT_EQ(p.scale, c.expected.scale);
    EXPECT_EQ(p.tailAtTop, c.expected.tailAtTop);
    EXPECT_NEAR(p.tailX, c.expected.tailX, 0.01f);
  }
}

TEST(PlaceBubble, TailStaysBetweenTheCornerArcs) {
  // The bubble is held 8 pixels inside the work area while the figure goes on to the edge.
  const std::pair<int32_t, float> kCases[] = {{-140, 24.0f}, {-100, 32.0f}, {1900, 326.0f}};
  for (const auto& [characterX, tailX] : kCases) {
    EXPECT_EQ(PlaceBubble(Inputs(1920, 1040, 1.0f, characterX, 850, 120)).tailX, tailX)
        << characterX;
  }
}

TEST(PlaceBubble, DegenerateWorkAreaStillGivesAPixel) {
  const BubbleInputs kCases[] = {
      Inputs(0, 0, 1.0f, 0, 0, 120),
      Inputs(10, 10, 1.0f, 0, 0, 1060),
      Inputs(1920, 1040, 1.0f, 100, 100, 0),
  };
  for (const BubbleInputs& in : kCases) {
    const BubblePlacement p = PlaceBubble(in);
    EXPECT_GE(p.width, 1);
    EXPECT_GE(p.height, 1);
    EXPECT_GE(p.scale, 0.01f);
    EXPECT_TRUE(p.tailX >= 24.0f && p.tailX <= 326.0f) << p.tailX;  // also not NaN
  }
}

TEST(BubbleHeightForText, CeilingPlusSixtyAtLeastEightyFiveAtMost1060) {
  const std::pair<float, int32_t> kCases[] = {
      {0.0f, 85},      {25.0f, 85},
      {25.01f, 86},    {100.0f, 160},
      {1000.0f, 1060}, {5000.0f, 1060},
      {-3.0f, 85},     {std::numeric_limits<float>::quiet_NaN(), 85}};
  for (const auto& [measured, height] : kCases)
    EXPECT_EQ(BubbleHeightForText(measured), height) << measured;
}

// An unknown code stands for itself.
TEST(BubbleHintText, ReferenceAndTranslationName) {
  EXPECT_EQ(BubbleHintText(false, false, u"John 3:16", u"kjv"),
            u"John 3:16 \u00B7 King James Version");
  EXPECT_EQ(BubbleHintText(false, false, u"Ruth 1:16", u"KJV"), u"Ruth 1:16 \u00B7 KJV");
  EXPECT_EQ(BubbleHintText(false, true, u"Psalms 23:1", u"kjv"),
            u"Psalms 23:1 \u00B7 WEB (offline backup)");
  EXPECT_EQ(BubbleHintText(true, false, u"John 3:16", u"kjv"),
            u"Click for optional financial support");
}

TEST(BuildReferenceUrl, EncodesEverythingOutsideTheUnreservedSet) {
  const std::u16string page = u"https://scrollwick.org/bible?ref=";
  EXPECT_EQ(BuildReferenceUrl(u"John 3:16", u"web"), page + u"John%203%3A16&translation=web");
  EXPECT_EQ(BuildReferenceUrl(u"a.b_c~d+e&f=g/h?", u"ylt"),
            page + u"a.b_c~d%2Be%26f%3Dg%2Fh%3F&translation=ylt");
  EXPECT_EQ(BuildReferenceUrl(u"", u"asv"), page + u"&translation=asv");
  // Above 0x7F the reference's UTF-8 bytes are encoded, one %XX each.
  EXPECT_EQ(BuildReferenceUrl(u"\u00E9\u4E00", u"web"), page + u"%C3%A9%E4%B8%80&translation=web");
  EXPECT_EQ(BuildReferenceUrl(u"\U0001F411", u"web"), page + u"%F0%9F%90%91&translation=web");
  EXPECT_EQ(BuildReferenceUrl(u"x\xD800y", u"web"), page + u"x%EF%BF%BDy&translation=web");
}

}  // namespace
}  // namespace companion
