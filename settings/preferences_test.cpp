#include "settings/preferences.h"

#include <gtest/gtest.h>

#include <climits>

namespace companion {
namespace {

struct RangeCase {
  int32_t stored;
  int32_t displaySeconds, translation, sizeMultiple, scripturesViewed, category;
};

TEST(ValidatePreferences, ClampsRangesAsSignedNumbers) {
  const RangeCase kCases[] = {
      {0, 1, 0, 1, 0, 0},      {-5, 1, 0, 1, 0, 0},      {1, 1, 1, 1, 1, 1},
      {7, 7, 4, 3, 7, 1},      {9, 9, 4, 3, 9, 1},       {99, 99, 4, 3, 50, 1},
      {601, 600, 4, 3, 50, 1}, {INT_MIN, 1, 0, 1, 0, 0}, {INT_MAX, 600, 4, 3, 50, 1},
  };
  for (const auto& c : kCases) {
    PreferenceValues v;
    v.displaySeconds = v.translationIndex = v.sizeMultiple = v.scripturesViewed = v.categoryIndex =
        c.stored;
    ValidatePreferences(v, 2);
    EXPECT_EQ(v.displaySeconds, c.displaySeconds) << c.stored;
    EXPECT_EQ(v.translationIndex, c.translation) << c.stored;
    EXPECT_EQ(v.sizeMultiple, c.sizeMultiple) << c.stored;
    EXPECT_EQ(v.scripturesViewed, c.scripturesViewed) << c.stored;
    EXPECT_EQ(v.categoryIndex, c.category) << c.stored;
  }
}

TEST(ValidatePreferences, GapAndPromptMustBeOneOfTheirChoices) {
  struct Case {
    int32_t stored, gap, prompt;
  };
  const Case kCases[] = {{0, 0, 0},     {15, 60, 15},    {30, 30, 30},     {45, 60, 0},
                         {60, 60, 60},  {120, 120, 120}, {300, 300, 0},    {3600, 3600, 0},
                         {3601, 60, 0}, {-60, 60, 0},    {INT_MIN, 60, 0}, {1800, 1800, 0},
                         {900, 900, 0}};
  for (const auto& c : kCases) {
    PreferenceValues v;
    v.gapSeconds = v.promptMinutes = c.stored;
    ValidatePreferences(v, 2);
    EXPECT_EQ(v.gapSeconds, c.gap) << c.stored;
    EXPECT_EQ(v.promptMinutes, c.prompt) << c.stored;
  }
}

TEST(ValidatePreferences, PositionsAreTakenAsRead) {
  PreferenceValues v;
  v.positionX = -1920;
  v.positionY = INT_MAX;
  ValidatePreferences(v, 2);
  EXPECT_EQ(v.positionX, -1920);
  EXPECT_EQ(v.positionY, INT_MAX);
}

TEST(ValidatePreferences, LongMonitorNameIsCut) {
  PreferenceValues v;
  v.monitorDevice.assign(200, u'M');
  ValidatePreferences(v, 2);
  EXPECT_EQ(v.monitorDevice.size(), 127u);
}

TEST(PreferenceText, PlainSignedDecimal) {
  EXPECT_EQ(PreferenceText(0), u"0");
  EXPECT_EQ(PreferenceText(6), u"6");
  EXPECT_EQ(PreferenceText(3600), u"3600");
  EXPECT_EQ(PreferenceText(-1), u"-1");
  EXPECT_EQ(PreferenceText(-1920), u"-1920");
  EXPECT_EQ(PreferenceText(INT_MAX), u"2147483647");
  EXPECT_EQ(PreferenceText(INT_MIN), u"-2147483648");
}

}  // namespace
}  // namespace companion
