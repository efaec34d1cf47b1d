#include "settings/preferences.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>

#include "scripture/catalogue.h"
#include "scripture/requests.h"

namespace companion {

namespace {

constexpr int32_t kMinDisplaySeconds = 1;
constexpr int32_t kMaxDisplaySeconds = 600;
constexpr int32_t kLargestSizeMultiple = 3;

}  // namespace

int32_t AcceptedValue(const PreferenceField& field, int32_t value) {
  if (!field.choices.empty()) {
    const bool listed =
        std::find(field.choices.begin(), field.choices.end(), value) != field.choices.end();
    return listed ? value : field.defaultValue;
  }
  return std::clamp(value, field.low, field.high);
}

std::span<const PreferenceField> PreferenceFields() {
  using V = PreferenceValues;
  // Built on first use: the category bound comes from a table of another file.
  static const PreferenceField kFields[] = {
      {.key = u"DisplaySeconds",
       .member = &V::displaySeconds,
       .defaultValue = 10,
       .low = kMinDisplaySeconds,
       .high = kMaxDisplaySeconds},
      {.key = u"GapSeconds", .member = &V::gapSeconds, .defaultValue = 60, .choices = kGapChoices},
      {.key = u"Translation",
       .member = &V::translationIndex,
       .low = 0,
       .high = kTranslationCount - 1},
      {.key = u"SizeMultiple",
       .member = &V::sizeMultiple,
       .defaultValue = 1,
       .low = 1,
       .high = kLargestSizeMultiple},
      {.key = u"YoungerPreview", .member = &V::younger, .defaultValue = 1},
      {.key = u"ScripturesViewed",
       .member = &V::scripturesViewed,
       .low = 0,
       .high = kMaxScripturesViewed},
      {.key = u"Category",
       .member = &V::categoryIndex,
       .low = 0,
       .high = int32_t(ScriptureCategories.size()) - 1},
      {.key = u"PromptMinutes", .member = &V::promptMinutes, .choices = kPromptChoices},
      {.key = u"Movement", .member = &V::movementEnabled, .defaultValue = 1},
      {.key = u"Paused", .member = &V::paused},
      {.key = u"FreePlacement", .member = &V::freePlacement, .olderKey = u"FreePosition"},
      {.key = u"PositionX", .member = &V::positionX, .olderKey = u"DesktopX"},
      {.key = u"PositionY", .member = &V::positionY, .olderKey = u"DesktopY"},
      {.key = u"Monitor", .member = &V::monitorDevice},
  };
  return kFields;
}

const PreferenceField& PreferenceFieldOf(int32_t PreferenceValues::*member) {
  for (const PreferenceField& field : PreferenceFields()) {
    const auto* number = std::get_if<int32_t PreferenceValues::*>(&field.member);
    if (number && *number == member) return field;
  }
  throw std::logic_error("Not a stored preference");
}

PreferenceValues DefaultPreferences() {
  PreferenceValues values;
  for (const PreferenceField& field : PreferenceFields()) {
    std::visit(
        [&](auto member) {
          using Member = std::remove_reference_t<decltype(values.*member)>;
          if constexpr (std::is_same_v<Member, bool>) {
            values.*member = field.defaultValue != 0;
          } else if constexpr (std::is_same_v<Member, int32_t>) {
            values.*member = field.defaultValue;
          }
        },
        field.member);
  }
  return values;
}

void ValidatePreferences(PreferenceValues& values) {
  for (const PreferenceField& field : PreferenceFields()) {
    if (const auto* number = std::get_if<int32_t PreferenceValues::*>(&field.member)) {
      values.** number = AcceptedValue(field, values.**number);
    }
  }
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
