#include "app/menu_win.h"
#include "app/coordinator_win.h"

#include <cstring>
#include <stdexcept>

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "base/owners_win.h"
#include "app/display_time_dialog_win.h"
#include "base/endpoints.h"
#include "base/wide_win.h"
#include "bubble/bubble_drawing_win.h"
#include "bubble/bubble_layout.h"
#include "bubble/bubble_window_win.h"
#include "character/motion_win.h"
#include "character/placement_win.h"
#include "character/presentation_win.h"
#include "scripture/requests.h"
#include "scripture/requests_win.h"
#include "settings/preferences_win.h"
#include "settings/startup_registration_win.h"

namespace companion {

namespace {

void AppendItems(HMENU menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    BOOL appended = FALSE;
    switch (item.kind) {
      case MenuItemKind::Separator:
        appended = AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuItemKind::Command:
        appended = AppendMenuW(
            menu, MF_STRING | (item.checked ? MF_CHECKED : 0u) | (item.grayed ? MF_GRAYED : 0u),
            item.id, AsWide(item.label));
        break;
      case MenuItemKind::Submenu: {
        MenuHandle submenu(CreatePopupMenu());
        if (!submenu.Valid()) throw std::runtime_error("Cannot build the menu");
        AppendItems(submenu.Get(), item.submenu);
        appended = AppendMenuW(menu, MF_POPUP | MF_STRING,
                               reinterpret_cast<UINT_PTR>(submenu.Get()), AsWide(item.label));
        // From here the parent owns the submenu and destroys it with itself.
        if (appended) submenu.Release();
        break;
      }
    }
    if (!appended) throw std::runtime_error("Cannot build the menu");
  }
}

// The end of most commands: the figure stands idle, the change is saved and drawn.
void CommonTail(CompanionApp& app, uint64_t now) {
  SetMotionState(app, MotionState::Idle, GetTickCount64());
  SavePreferences(app);
  RenderCharacter(app, now);
}

void ApplyDisplayTime(CompanionApp& app, int32_t seconds) {
  SetPreference(app, &PreferenceValues::displaySeconds, seconds);
  SavePreferences(app);
  // A bubble on screen gets the new time, counted from now.
  if (app.bubble.bubbleVisible) StartBubbleTimer(app);
}

void ShowSupportMessage(CompanionApp& app) {
  HideBubble(app);
  PrepareSupportBubble(app);
  RenderBubble(app);
  StartBubbleTimer(app);
  // No automatic Scripture while the message is up; hiding it starts the schedule again.
  StopSchedule(app);
}

void ResizeCharacter(CompanionApp& app, int32_t multiple, uint64_t now) {
  EndDrag(app);
  SetPreference(app, &PreferenceValues::sizeMultiple, multiple);
  SetMotionState(app, MotionState::Idle, GetTickCount64());
  // A freely placed figure keeps its spot (its bottom centre); on the taskbar its left edge.
  if (app.preferences.freePlacement) {
    RescaleCharacter(app, GetDpiForWindow(app.shell.companionWindow));
  } else {
    PlaceCharacter(app, false);
  }
  SavePreferences(app);
  RenderCharacter(app, now);
  if (app.bubble.bubbleVisible) RenderBubble(app);
}

void ChooseMonitor(CompanionApp& app, int32_t index, uint64_t now) {
  if (static_cast<size_t>(index) < app.placement.monitors.size()) {
    HideBubble(app);
    app.preferences.monitorDevice =
        ToU16(app.placement.monitors[static_cast<size_t>(index)].info.szDevice);
    PlaceCharacter(app, true);
  }
  SavePreferences(app);
  RenderCharacter(app, now);
}

void RunSingleCommand(CompanionApp& app, uint32_t id, uint64_t now) {
  switch (id) {
    case kCommandScripture:
      RequestScripture(app, false);
      break;
    case kCommandPause:
      SetPreference(app, &PreferenceValues::paused, !app.preferences.paused);
      HideBubble(app);
      CommonTail(app, now);
      break;
    case kCommandMovement:
      SetPreference(app, &PreferenceValues::movementEnabled, !app.preferences.movementEnabled);
      CommonTail(app, now);
      break;
    case kCommandStartWithWindows:
      ToggleStartWithWindows(app);
      break;
    case kCommandVisitWebSite:
      OpenUrl(app.shell.companionWindow, kWebSiteUrl);
      break;
    case kCommandExit:
      // The destroy sequence ends the message loop and so the program.
      DestroyWindow(app.shell.companionWindow);
      break;
    case kCommandSupport:
      ShowSupportMessage(app);
      break;
    case kCommandCopy:
      CopyCurrentScripture(app);
      break;
    case kCommandYounger:
    case kCommandOriginal:
      HideBubble(app);
      SetPreference(app, &PreferenceValues::younger, id == kCommandYounger);
      SetYounger(app.figure.characterArt, app.preferences.younger);
      CommonTail(app, now);
      break;
    case kCommandReturnToTaskbar:
      EndDrag(app);
      HideBubble(app);
      SetPreference(app, &PreferenceValues::freePlacement, false);
      PlaceCharacter(app, true);
      CommonTail(app, now);
      break;
    case kCommandPrevious:
      ShowPreviousScripture(app);
      break;
    case kCommandCustomDisplayTime: {
      int32_t seconds = app.preferences.displaySeconds;
      if (RunDisplayTimeDialog(GetModuleHandleW(nullptr), app.shell.companionWindow, seconds) ==
          IDOK) {
        ApplyDisplayTime(app, seconds);
      }
      break;
    }
    default:
      break;
  }
}

// The clipboard while it is open for the companion window.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;

  bool open() const { return open_; }

 private:
  bool open_;
};

}  // namespace

MenuInputs GatherMenuInputs(const CompanionApp& app) {
  MenuInputs in;
  in.sizeMultiple = app.preferences.sizeMultiple;
  in.paused = app.preferences.paused;
  in.movementEnabled = app.preferences.movementEnabled;
  in.displaySeconds = app.preferences.displaySeconds;
  in.gapSeconds = app.preferences.gapSeconds;
  in.translationIndex = app.preferences.translationIndex;
  in.younger = app.preferences.younger;
  in.historyIndex = app.scripture.historyIndex;
  in.hasCurrentScripture = !app.scripture.currentReference.empty();
  in.bubbleVisible = app.bubble.bubbleVisible;
  in.supportPromptShown = app.bubble.supportPromptShown;
  in.startWithWindows = IsStartWithWindows();
  for (const MonitorRecord& monitor : app.placement.monitors) {
    in.monitors.push_back({(monitor.info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                           monitor.handle == app.placement.currentMonitor.handle});
  }
  return in;
}

HMENU BuildContextMenu(const CompanionApp& app) {
  MenuHandle menu(CreatePopupMenu());
  if (!menu.Valid()) throw std::runtime_error("Cannot build the menu");
  AppendItems(menu.Get(), ContextMenuModel(GatherMenuInputs(app)));
  return menu.Release();
}

void ShowContextMenu(CompanionApp& app, POINT point) {
  MenuHandle menu(BuildContextMenu(app));
  StopMotionTimer(app);
  // A popup menu closes on a click elsewhere only while its owner is the foreground window.
  SetForegroundWindow(app.shell.companionWindow);
  const auto id =
      static_cast<uint32_t>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x,
                                           point.y, 0, app.shell.companionWindow, nullptr));
  // Without a message after the menu's loop, the next menu may not close on an outside click.
  PostMessageW(app.shell.companionWindow, WM_NULL, 0, 0);
  menu.Reset();
  if (id != 0) RunMenuCommand(app, id);
  RestAfterMenu(app, GetTickCount64());
  ResumeMotion(app);
}

void RunMenuCommand(CompanionApp& app, uint32_t id) {
  const uint64_t now = GetTickCount64();
  const MenuCommand command = DecodeMenuCommand(id);
  switch (command.group) {
    case MenuCommandGroup::Single:
      RunSingleCommand(app, id, now);
      break;
    case MenuCommandGroup::Gap:
      SetPreference(app, &PreferenceValues::gapSeconds, command.value);
      RestartSchedule(app, now);
      SavePreferences(app);
      RenderCharacter(app, now);
      break;
    case MenuCommandGroup::Monitor:
      ChooseMonitor(app, command.value, now);
      break;
    case MenuCommandGroup::Size:
      ResizeCharacter(app, command.value, now);
      break;
    case MenuCommandGroup::Translation:
      SetPreference(app, &PreferenceValues::translationIndex, command.value);
      HideBubble(app);
      SavePreferences(app);
      RequestScripture(app, false);
      break;
    case MenuCommandGroup::DisplayTime:
      ApplyDisplayTime(app, command.value);
      break;
    case MenuCommandGroup::Unknown:
      break;
  }
}

void CopyCurrentScripture(CompanionApp& app) {
  if (app.scripture.currentReference.empty()) return;
  const std::u16string text = ClipboardScriptureText(
      app.scripture.currentText, app.scripture.currentReference, app.scripture.currentTranslation);
  OpenedClipboard clipboard(app.shell.companionWindow);
  if (!clipboard.open()) return;
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!block.Get()) return;
  void* memory = GlobalLock(block.Get());
  if (!memory) return;
  std::memcpy(memory, text.c_str(), bytes);
  GlobalUnlock(block.Get());
  EmptyClipboard();
  // Once set, the block belongs to the clipboard.
  if (SetClipboardData(CF_UNICODETEXT, block.Get())) block.Release();
}

}  // namespace companion
