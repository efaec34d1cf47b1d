#include "app/menu.h"

#include <iterator>
#include <string>
#include <utility>

#include "scripture/catalogue.h"
#include "settings/preferences.h"

namespace companion {

namespace {

std::u16string Decimal(int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

MenuItem Command(std::u16string label, uint32_t id, bool checked = false, bool grayed = false) {
  return MenuItem{MenuItemKind::Command, std::move(label), id, checked, grayed, {}};
}

MenuItem Separator() {
  return MenuItem{MenuItemKind::Separator, {}, 0, false, false, {}};
}

MenuItem Submenu(std::u16string label, std::vector<MenuItem> items) {
  return MenuItem{MenuItemKind::Submenu, std::move(label), 0, false, false, std::move(items)};
}

std::vector<MenuItem> SizeItems(int32_t sizeMultiple) {
  std::vector<MenuItem> items;
  const PreferenceField& sizes = PreferenceFieldOf(&PreferenceValues::sizeMultiple);
  for (int32_t multiple = sizes.low; multiple <= sizes.high; ++multiple) {
    const size_t i = static_cast<size_t>(multiple - sizes.low);
    items.push_back(Command(kSizeLabels[i], kFirstSizeCommand + static_cast<uint32_t>(i),
                            multiple == sizeMultiple));
  }
  return items;
}

std::vector<MenuItem> DisplayTimeItems(int32_t displaySeconds) {
  std::vector<MenuItem> items;
  for (size_t i = 0; i < kDisplayTimeChoices.size(); ++i) {
    items.push_back(Command(Decimal(kDisplayTimeChoices[i]) + u" seconds",
                            kFirstDisplayTimeCommand + static_cast<uint32_t>(i),
                            kDisplayTimeChoices[i] == displaySeconds));
  }
  items.push_back(Command(u"Custom\u2026 (" + Decimal(displaySeconds) + u" seconds)",
                          kCommandCustomDisplayTime));
  return items;
}

std::vector<MenuItem> GapItems(int32_t gapSeconds) {
  static_assert(std::size(kGapChoices) == kGapLabels.size());
  std::vector<MenuItem> items;
  for (size_t i = 0; i < kGapLabels.size(); ++i) {
    items.push_back(Command(kGapLabels[i], kFirstGapCommand + static_cast<uint32_t>(i),
                            kGapChoices[i] == gapSeconds));
  }
  return items;
}

std::vector<MenuItem> TranslationItems(int32_t translationIndex) {
  std::vector<MenuItem> items;
  for (size_t i = 0; i < TranslationTable.size(); ++i) {
    items.push_back(Command(TranslationTable[i].name,
                            kFirstTranslationCommand + static_cast<uint32_t>(i),
                            static_cast<int32_t>(i) == translationIndex));
  }
  return items;
}

std::vector<MenuItem> MonitorItems(const std::vector<MonitorMenuEntry>& monitors) {
  std::vector<MenuItem> items;
  for (size_t k = 0; k < monitors.size(); ++k) {
    std::u16string label = u"Display " + Decimal(static_cast<int32_t>(k) + 1);
    if (monitors[k].primary) label += u" (primary)";
    items.push_back(Command(std::move(label), kFirstMonitorCommand + static_cast<uint32_t>(k),
                            monitors[k].current));
  }
  return items;
}

std::vector<MenuItem> SettingsItems(const MenuInputs& in) {
  std::vector<MenuItem> items;
  items.push_back(Command(u"Younger character (motion preview)", kCommandYounger, in.younger));
  items.push_back(Command(u"Original character (full motion)", kCommandOriginal, !in.younger));
  items.push_back(Command(u"Return to taskbar", kCommandReturnToTaskbar));
  items.push_back(Command(u"Character movement", kCommandMovement, in.movementEnabled));
  items.push_back(Command(u"Start with Windows", kCommandStartWithWindows, in.startWithWindows));
  items.push_back(Submenu(u"Display time (seconds)", DisplayTimeItems(in.displaySeconds)));
  items.push_back(Submenu(u"Gap after each Scripture", GapItems(in.gapSeconds)));
  items.push_back(Submenu(u"Bible translation (online)", TranslationItems(in.translationIndex)));
  items.push_back(Command(u"Support Scrollwick", kCommandSupport));
  items.push_back(Submenu(u"Companion display", MonitorItems(in.monitors)));
  return items;
}

}  // namespace

std::vector<MenuItem> ContextMenuModel(const MenuInputs& in) {
  std::vector<MenuItem> items;
  items.push_back(Command(u"Give me a Scripture", kCommandScripture));
  items.push_back(
      Command(u"Previous Scripture", kCommandPrevious, false,
              !PreviousScriptureEnabled(in.historyIndex, in.bubbleVisible, in.supportPromptShown)));
  items.push_back(Submenu(u"Character size", SizeItems(in.sizeMultiple)));
  items.push_back(Command(u"Copy current Scripture", kCommandCopy, false, !in.hasCurrentScripture));
  items.push_back(Separator());
  items.push_back(Command(u"Pause character and prompts", kCommandPause, in.paused));
  items.push_back(Submenu(u"Settings", SettingsItems(in)));
  items.push_back(Separator());
  items.push_back(Command(u"Visit Scrollwick", kCommandVisitWebSite));
  items.push_back(Command(u"Exit", kCommandExit));
  return items;
}

bool PreviousScriptureEnabled(int32_t historyIndex, bool bubbleVisible, bool supportPromptShown) {
  return historyIndex >= 0 && (!bubbleVisible || supportPromptShown || historyIndex > 0);
}

std::u16string ClipboardScriptureText(std::u16string_view text, std::u16string_view reference,
                                      std::u16string_view translationCode) {
  std::u16string copied;
  copied.reserve(text.size() + reference.size() + translationCode.size() + 5);
  copied.append(text).append(u"\r\n").append(reference);
  copied.append(u" (").append(translationCode).append(u")");
  return copied;
}

bool IsAcceptedDisplayTime(bool readOk, uint32_t seconds) {
  const PreferenceField& field = PreferenceFieldOf(&PreferenceValues::displaySeconds);
  return readOk && seconds >= static_cast<uint32_t>(field.low) &&
         seconds <= static_cast<uint32_t>(field.high);
}

MenuCommand DecodeMenuCommand(uint32_t id) {
  const auto in = [id](uint32_t first, size_t count) { return id >= first && id - first < count; };
  if (id >= kCommandScripture && id <= kCommandCustomDisplayTime) {
    return {MenuCommandGroup::Single, static_cast<int32_t>(id)};
  }
  if (in(kFirstGapCommand, std::size(kGapChoices))) {
    return {MenuCommandGroup::Gap, kGapChoices[id - kFirstGapCommand]};
  }
  if (id >= kFirstMonitorCommand && id <= kLastMonitorCommand) {
    return {MenuCommandGroup::Monitor, static_cast<int32_t>(id - kFirstMonitorCommand)};
  }
  if (in(kFirstSizeCommand, kSizeLabels.size())) {
    return {MenuCommandGroup::Size, static_cast<int32_t>(id - kFirstSizeCommand) + 1};
  }
  if (in(kFirstTranslationCommand, TranslationTable.size())) {
    return {MenuCommandGroup::Translation, static_cast<int32_t>(id - kFirstTranslationCommand)};
  }
  if (in(kFirstDisplayTimeCommand, kDisplayTimeChoices.size())) {
    return {MenuCommandGroup::DisplayTime, kDisplayTimeChoices[id - kFirstDisplayTimeCommand]};
  }
  return {};
}

}  // namespace companion
