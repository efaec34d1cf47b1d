#include "bubble/bubble_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace companion {
namespace {

BubbleInputs Inputs(int32_t right, int32_t bottom, float scale, int32_t x, int32_t y,
                    int32_t height) {
  BubbleInputs in;
  in.workRight = right;
  in.workBottom = bottom;
  in.characterScale = scale;
  in.fitScale = scale;
  in.positionX = x;
  in.positionY = y;
  in.contentHeight = height;
  return in;
}

struct PlacementCase {
  const char* name;
  BubbleInputs given;
  BubblePlacement expected;
};

TEST(PlaceBubble, WorkedExamples) {
  const PlacementCase kCases[] = {
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
  };
  for (const PlacementCase& c : kCases) {
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
  struct Case {
    int32_t characterX;
    float tailX;
  };
  // The bubble is held 8 pixels inside the work area while the figure goes on to the edge.
  const Case kCases[] = {{-140, 24.0f},  {-130, 24.0f},        {-100, 32.0f},
                         {1600, 178.0f}, {1920 - 140, 326.0f}, {1900, 326.0f}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.characterX);
    EXPECT_EQ(PlaceBubble(Inputs(1920, 1040, 1.0f, c.characterX, 850, 120)).tailX, c.tailX);
  }
}

TEST(PlaceBubble, SinkLowersTheAnchor) {
  BubbleInputs in = Inputs(1920, 1040, 1.0f, 1000, 850, 120);
  in.sinkOffset = 7;
  EXPECT_EQ(PlaceBubble(in).y, 752 + 7);
}

TEST(PlaceBubble, WorkAreaOffsetFromOrigin) {
  BubbleInputs in = Inputs(0, 0, 1.0f, -1000, 500, 120);
  in.workLeft = -1920;
  in.workTop = 40;
  in.workBottom = 1080;
  const BubblePlacement p = PlaceBubble(in);
  EXPECT_EQ(p.x, -1000 + 140 - 175);
  EXPECT_EQ(p.y, 500 + 22 - 120);
  EXPECT_FALSE(p.tailAtTop);
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
    EXPECT_TRUE(std::isfinite(p.tailX));
    EXPECT_GE(p.tailX, 24.0f);
    EXPECT_LE(p.tailX, 326.0f);
  }
}

TEST(ShapeBubble, BodyTailAndTextBoxForBothSides) {
  const BubbleShape below = ShapeBubble(85, 175.0f, false);
  EXPECT_EQ(below.bodyTop, 2.0f);
  EXPECT_EQ(below.bodyBottom, 69.0f);
  EXPECT_EQ(below.arcBottomY, 25.0f);
  EXPECT_EQ(below.tailBaseY, 68.0f);
  EXPECT_EQ(below.tailTipY, 83.0f);
  EXPECT_EQ(below.textBox.x, 20.0f);
  EXPECT_EQ(below.textBox.y, 20.0f);
  EXPECT_EQ(below.textBox.width, 310.0f);
  EXPECT_EQ(below.textBox.height, 40.0f);

  const BubbleShape above = ShapeBubble(85, 175.0f, true);
  EXPECT_EQ(above.bodyTop, 16.0f);
  EXPECT_EQ(above.bodyBottom, 83.0f);
  EXPECT_EQ(above.tailBaseY, 17.0f);
  EXPECT_EQ(above.tailTipY, 2.0f);
  EXPECT_EQ(above.textBox.y, 34.0f);
  EXPECT_EQ(above.textBox.height, 26.0f);
}

TEST(BubbleHeightForText, CeilingPlusSixtyAtLeastEightyFive) {
  struct Case {
    float measured;
    int32_t height;
  };
  const Case kCases[] = {
      {0.0f, 85},      {18.4f, 85},   {25.0f, 85},
      {25.01f, 86},    {100.0f, 160}, {1000.0f, 1060},
      {5000.0f, 1060}, {-3.0f, 85},   {std::numeric_limits<float>::quiet_NaN(), 85},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.measured);
    EXPECT_EQ(BubbleHeightForText(c.measured), c.height);
  }
}

TEST(BubbleHintText, ReferenceAndTranslationName) {
  struct Case {
    bool support;
    bool offline;
    const char16_t* reference;
    const char16_t* code;
    const char16_t* hint;
  };
  const Case kCases[] = {
      {false, false, u"John 3:16", u"kjv", u"John 3:16 \u00B7 King James Version"},
      {false, false, u"John 3:16", u"web", u"John 3:16 \u00B7 World English Bible"},
      {false, false, u"Ruth 1:16", u"darby", u"Ruth 1:16 \u00B7 Darby Translation"},
      {false, false, u"Ruth 1:16", u"KJV", u"Ruth 1:16 \u00B7 KJV"},
      {false, false, u"Ruth 1:16", u"", u"Ruth 1:16 \u00B7 "},
      {false, true, u"Psalms 23:1", u"web", u"Psalms 23:1 \u00B7 WEB (offline backup)"},
      {false, true, u"Psalms 23:1", u"kjv", u"Psalms 23:1 \u00B7 WEB (offline backup)"},
      {true, false, u"John 3:16", u"kjv", u"Click for optional financial support"},
      {true, true, u"John 3:16", u"web", u"Click for optional financial support"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(BubbleHintText(c.support, c.offline, c.reference, c.code), c.hint);
  }
}

TEST(BuildReferenceUrl, EncodesEverythingOutsideTheUnreservedSet) {
  struct Case {
    const char16_t* reference;
    const char16_t* code;
    const char16_t* url;
  };
  const Case kCases[] = {
      {u"John 3:16", u"web", u"https://scrollwick.org/bible?ref=John%203%3A16&translation=web"},
      {u"Psalms 23:1-3", u"kjv",
       u"https://scrollwick.org/bible?ref=Psalms%2023%3A1-3&translation=kjv"},
      {u"1 Peter 5:6-7", u"darby",
       u"https://scrollwick.org/bible?ref=1%20Peter%205%3A6-7&translation=darby"},
      {u"a.b_c~d+e&f=g/h?", u"ylt",
       u"https://scrollwick.org/bible?ref=a.b_c~d%2Be%26f%3Dg%2Fh%3F&translation=ylt"},
      {u"", u"asv", u"https://scrollwick.org/bible?ref=&translation=asv"},
      // Above 0x7F the reference's UTF-8 bytes are encoded, one %XX each.
      {u"Cantique 1:1 \u00E9", u"web",
       u"https://scrollwick.org/bible?ref=Cantique%201%3A1%20%C3%A9&translation=web"},
      {u"\u0152\u4E00", u"web",
       u"https://scrollwick.org/bible?ref=%C5%92%E4%B8%80&translation=web"},
      {u"\U0001F411", u"web", u"https://scrollwick.org/bible?ref=%F0%9F%90%91&translation=web"},
      {u"x\xD800y", u"web", u"https://scrollwick.org/bible?ref=x%EF%BF%BDy&translation=web"},
      {u"\xDC00", u"web", u"https://scrollwick.org/bible?ref=%EF%BF%BD&translation=web"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(BuildReferenceUrl(c.reference, c.code), c.url);
  }
}

}  // namespace
}  // namespace companion
