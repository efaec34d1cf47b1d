#pragma once
// The right-click menu as plain data: every item, label, id, check mark and grayed state follows
// from the values the menu reads, so menu_win.cpp only turns this tree into an HMENU. Also the
// rules behind the commands that are numbers: which group an id belongs to, the clipboard text,
// the display times the dialog accepts and the shift of a freely placed figure on resizing.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace companion {

// Command ids returned by the menu; 0 means it was dismissed.
inline constexpr uint32_t kCommandScripture = 100;
inline constexpr uint32_t kCommandPause = 101;
inline constexpr uint32_t kCommandMovement = 102;
inline constexpr uint32_t kCommandStartWithWindows = 103;
inline constexpr uint32_t kCommandVisitWebSite = 104;
inline constexpr uint32_t kCommandExit = 105;
inline constexpr uint32_t kCommandSupport = 106;
inline constexpr uint32_t kCommandCopy = 107;
inline constexpr uint32_t kCommandYounger = 108;
inline constexpr uint32_t kCommandOriginal = 109;
inline constexpr uint32_t kCommandReturnToTaskbar = 110;
inline constexpr uint32_t kCommandPrevious = 111;
inline constexpr uint32_t kCommandCustomDisplayTime = 112;
// First ids of the groups; a choice's number is its id minus the first id.
inline constexpr uint32_t kFirstGapCommand = 300;
inline constexpr uint32_t kFirstMonitorCommand = 400;
inline constexpr uint32_t kLastMonitorCommand = 499;
inline constexpr uint32_t kFirstSizeCommand = 501;
inline constexpr uint32_t kFirstTranslationCommand = 600;
inline constexpr uint32_t kFirstDisplayTimeCommand = 700;

inline constexpr std::array<int32_t, 8> kDisplayTimeChoices = {5, 10, 15, 20, 30, 60, 120, 300};
inline constexpr std::array<const char16_t*, 8> kGapLabels = {
    u"Off (manual only)", u"30 seconds", u"1 minute",   u"2 minutes",
    u"5 minutes",         u"15 minutes", u"30 minutes", u"1 hour"};
inline constexpr std::array<const char16_t*, 3> kSizeLabels = {
    u"1\u00D7 (current small size)", u"2\u00D7 height", u"3\u00D7 height"};

// What the display-time dialog accepts; its edit field takes at most this many digits.
inline constexpr int32_t kDisplayTimeDigits = 3;

enum class MenuItemKind { Command, Separator, Submenu };

struct MenuItem {
  MenuItemKind kind = MenuItemKind::Command;
  std::u16string label;
  uint32_t id = 0;  // 0 for separators and submenus
  bool checked = false;
  bool grayed = false;
  std::vector<MenuItem> submenu;

  bool operator==(const MenuItem&) const = default;
};

struct MonitorMenuEntry {
  bool primary = false;
  bool current = false;  // the figure stands on this display
};

// Everything the menu reads, as plain values.
struct MenuInputs {
  int32_t sizeMultiple = 1;
  bool paused = false;
  bool movementEnabled = true;
  int32_t displaySeconds = 10;
  int32_t gapSeconds = 60;
  int32_t translationIndex = 0;
  bool younger = true;
  int32_t historyIndex = -1;
  bool hasCurrentScripture = false;  // currentReference is not empty
  bool bubbleVisible = false;
  bool supportPromptShown = false;
  bool startWithWindows = false;
  std::vector<MonitorMenuEntry> monitors;  // in the order of the monitors list
};

// The top level of the menu, submenus inside their items.
std::vector<MenuItem> ContextMenuModel(const MenuInputs& in);

// "Previous Scripture" has something to show: a history entry that is not the one on screen,
// or the last one again once its bubble is gone or the support message took its place.
bool PreviousScriptureEnabled(int32_t historyIndex, bool bubbleVisible, bool supportPromptShown);

// The copied text: the verse, CR LF, then the reference and the translation code in parentheses.
std::u16string ClipboardScriptureText(std::u16string_view text, std::u16string_view reference,
                                      std::u16string_view translationCode);

// readOk: the field held an unsigned number that fits.
bool IsAcceptedDisplayTime(bool readOk, uint32_t seconds);

enum class MenuCommandGroup { Unknown, Single, Gap, Monitor, Size, Translation, DisplayTime };

struct MenuCommand {
  MenuCommandGroup group = MenuCommandGroup::Unknown;
  // Single: the id; Gap: seconds; Monitor: the entry's index; Size: the multiple; Translation:
  // the index; DisplayTime: seconds.
  int32_t value = 0;

  bool operator==(const MenuCommand&) const = default;
};

MenuCommand DecodeMenuCommand(uint32_t id);

}  // namespace companion
