#include "settings/preferences.h"

#include <algorithm>

namespace companion {

int32_t ClampToRange(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : (value > high ? high : value);
}

int32_t OneOf(int32_t value, std::span<const int32_t> choices, int32_t fallback) {
  return std::find(choices.begin(), choices.end(), value) != choices.end() ? value : fallback;
}

void ValidatePreferences(PreferenceValues& values, int32_t categoryCount) {
  values.displaySeconds = ClampToRange(values.displaySeconds, 1, 600);
  values.translationIndex = ClampToRange(values.translationIndex, 0, 4);
  values.gapSeconds = OneOf(values.gapSeconds, kGapChoices, 60);
  values.sizeMultiple = ClampToRange(values.sizeMultiple, 1, 3);
  values.scripturesViewed = ClampToRange(values.scripturesViewed, 0, 50);
  values.categoryIndex = ClampToRange(values.categoryIndex, 0, categoryCount - 1);
  values.promptMinutes = OneOf(values.promptMinutes, kPromptChoices, 0);
  if (values.monitorDevice.size() > kMonitorDeviceMaxLength) {
    values.monitorDevice.resize(kMonitorDeviceMaxLength);
  }
}

std::u16string PreferenceText(int32_t value) {
  // Widen first so that the most negative value has a magnitude.
  int64_t magnitude = value;
  const bool negative = magnitude < 0;
  if (negative) magnitude = -magnitude;
  std::u16string digits;
  do {
    digits.push_back(static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits.push_back(u'-');
  std::reverse(digits.begin(), digits.end());
  return digits;
}

}  // namespace companion
