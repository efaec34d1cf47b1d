#pragma once
// The stored preferences as plain values, and the rules that hold once they are loaded.
#include <cstdint>
#include <span>
#include <string>

namespace companion {

inline constexpr int32_t kGapChoices[] = {0, 30, 60, 120, 300, 900, 1800, 3600};
inline constexpr int32_t kPromptChoices[] = {0, 15, 30, 60, 120};
inline constexpr int32_t kPreferencesVersion = 6;
// Longest Monitor value kept; a longer one is cut.
inline constexpr size_t kMonitorDeviceMaxLength = 127;

struct PreferenceValues {
  int32_t displaySeconds = 10;
  int32_t gapSeconds = 60;
  int32_t translationIndex = 0;
  int32_t sizeMultiple = 1;
  int32_t scripturesViewed = 0;
  int32_t categoryIndex = 0;
  int32_t promptMinutes = 0;
  bool movementEnabled = true;
  bool paused = false;
  bool younger = true;
  bool freePlacement = false;
  int32_t positionX = 0;
  int32_t positionY = 0;
  std::u16string monitorDevice;
};

int32_t ClampToRange(int32_t value, int32_t low, int32_t high);
// The value when it is one of the choices, otherwise the fallback.
int32_t OneOf(int32_t value, std::span<const int32_t> choices, int32_t fallback);

// Brings freshly read values into their accepted ranges; categoryCount >= 1.
void ValidatePreferences(PreferenceValues& values, int32_t categoryCount);

// Decimal text as the preferences file stores it: optional minus, no leading zeros, no plus.
std::u16string PreferenceText(int32_t value);

}  // namespace companion
