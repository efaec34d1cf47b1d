#include "settings/preferences.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <utility>

namespace companion {
namespace {

// Ranges clamp as signed numbers; the gap and prompt fall back when not one of their choices.
TEST(ValidatePreferences, ClampsRangesAndChecksChoices) {
  // {stored, display seconds, translation, size, scriptures viewed, category, gap, prompt}
  const int32_t kCases[][8] = {
      {0, 1, 0, 1, 0, 0, 0, 0},        {4, 4, 4, 3, 4, 1, 60, 0},
      {5, 5, 4, 3, 5, 1, 60, 0},       {15, 15, 4, 3, 15, 1, 60, 15},
      {30, 30, 4, 3, 30, 1, 30, 30},   {51, 51, 4, 3, 50, 1, 60, 0},
      {300, 300, 4, 3, 50, 1, 300, 0}, {601, 600, 4, 3, 50, 1, 60, 0},
      {INT_MIN, 1, 0, 1, 0, 0, 60, 0}, {INT_MAX, 600, 4, 3, 50, 1, 60, 0},
  };
  for (const auto& [stored, display, translation, size, viewed, category, gap, prompt] : kCases) {
    PreferenceValues v;
    v.displaySeconds = v.translationIndex = v.sizeMultiple = v.scripturesViewed = v.categoryIndex =
        v.gapSeconds = v.promptMinutes = stored;
    ValidatePreferences(v);
    EXPECT_EQ(std::tuple(v.displaySeconds, v.translationIndex, v.sizeMultiple, v.scripturesViewed,
                         v.categoryIndex, v.gapSeconds, v.promptMinutes),
              std::tuple(display, translation, size, viewed, category, gap, prompt))
        << stored;
  }
}

TEST(ValidatePreferences, PositionsAreTakenAsReadAndALongMonitorNameIsCut) {
  PreferenceValues v;
  v.positionX = -1920;
  v.positionY = INT_MAX;
  v.monitorDevice.assign(200, u'M');
  ValidatePreferences(v);
  EXPECT_EQ(std::pair(v.positionX, v.positionY), std::pair(-1920, INT_MAX));
  EXPECT_EQ(v.monitorDevice.size(), 127u);
}

// A file without a value gives the first run's companion; the menu offers exactly the sizes and
// display times the file accepts.
TEST(PreferenceFields, DefaultsAreAcceptedValuesAndDriveTheMenusBounds) {
  PreferenceValues defaults = DefaultPreferences();
  EXPECT_EQ(std::tuple(defaults.displaySeconds, defaults.gapSeconds, defaults.sizeMultiple,
                       defaults.movementEnabled, defaults.younger, defaults.paused),
            std::tuple(10, 60, 1, true, true, false));
  PreferenceValues validated = defaults;
  ValidatePreferences(validated);
  EXPECT_EQ(validated.displaySeconds, defaults.displaySeconds);
  EXPECT_EQ(validated.gapSeconds, defaults.gapSeconds);
  EXPECT_EQ(validated.promptMinutes, defaults.promptMinutes);
  const PreferenceField& size = PreferenceFieldOf(&PreferenceValues::sizeMultiple);
  EXPECT_EQ(std::pair(size.low, size.high), std::pair(1, 3));
}

TEST(PreferenceText, PlainSignedDecimal) {
  EXPECT_EQ(PreferenceText(0), u"0");
  EXPECT_EQ(PreferenceText(-1920), u"-1920");
  EXPECT_EQ(PreferenceText(INT_MAX), u"2147483647");
  EXPECT_EQ(PreferenceText(INT_MIN), u"-2147483648");
}

}  // namespace
}  // namespace companion
