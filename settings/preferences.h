#pragma once
// The stored preferences: one table says, for every value of the preferences file, its key, the
// member that holds it, its default and the values it accepts. Reading, validation, saving and
// the menu's choices all go by that table.
#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace companion {

inline constexpr int32_t kGapChoices[] = {0, 30, 60, 120, 300, 900, 1800, 3600};
inline constexpr int32_t kPromptChoices[] = {0, 15, 30, 60, 120};
inline constexpr int32_t kPreferencesVersion = 6;
// Longest Monitor value kept; a longer one is cut.
inline constexpr size_t kMonitorDeviceMaxLength = 127;

// Every value the file stores. The defaults are the table's (DefaultPreferences).
struct PreferenceValues {
  int32_t displaySeconds = 0;
  int32_t gapSeconds = 0;
  int32_t translationIndex = 0;
  int32_t sizeMultiple = 0;
  int32_t scripturesViewed = 0;
  int32_t categoryIndex = 0;
  int32_t promptMinutes = 0;
  bool movementEnabled = false;
  bool paused = false;
  bool younger = false;
  bool freePlacement = false;
  int32_t positionX = 0;
  int32_t positionY = 0;
  std::u16string monitorDevice;
};

using PreferenceMember = std::variant<int32_t PreferenceValues::*, bool PreferenceValues::*,
                                      std::u16string PreferenceValues::*>;

// One row of the preferences file. A number is clamped to [low, high]; with `choices`, a value
// that is not one of them becomes the default. A flag is stored as 0 or 1, text as it is (cut to
// kMonitorDeviceMaxLength).
struct PreferenceField {
  const char16_t* key = nullptr;
  PreferenceMember member{};
  int32_t defaultValue = 0;
  int32_t low = INT32_MIN;
  int32_t high = INT32_MAX;
  std::span<const int32_t> choices{};
  // The key an older file kept this value under; its value is the default when `key` is absent.
  const char16_t* olderKey = nullptr;
};

// The rows in the order the file is written.
std::span<const PreferenceField> PreferenceFields();
// The row of a numeric member.
const PreferenceField& PreferenceFieldOf(int32_t PreferenceValues::*member);

PreferenceValues DefaultPreferences();

// `value` if the field accepts it; otherwise clamped into its range, or its default when it is not
// one of its choices.
int32_t AcceptedValue(const PreferenceField& field, int32_t value);

// Brings freshly read values into their accepted ranges.
void ValidatePreferences(PreferenceValues& values);

// Decimal text as the preferences file stores it: optional minus, no leading zeros, no plus.
std::u16string PreferenceText(int32_t value);

}  // namespace companion
