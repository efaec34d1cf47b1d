#include "character/placement_win.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <string_view>
#include <vector>

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "base/wide_win.h"
#include "character/motion_win.h"
#include "character/placement.h"
#include "character/presentation_win.h"
#include "settings/preferences_win.h"

namespace companion {

namespace {

// After a press or drag the figure leaves the user a minute before a random action.
constexpr uint64_t kActionPauseAfterTouchMs = 60000;
constexpr int kClassNameLength = 128;

ScreenRect ToScreenRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

std::u16string_view DeviceName(const MonitorRecord& record) {
  const wchar_t* name = record.info.szDevice;
  return {AsU16(name), wcsnlen(name, CCHDEVICENAME)};
}

bool ReadMonitor(HMONITOR handle, MonitorRecord& record) {
  record.handle = handle;
  record.info = {};
  record.info.cbSize = sizeof(MONITORINFOEXW);
  return GetMonitorInfoW(handle, &record.info) != FALSE;
}

BOOL CALLBACK AppendMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list) {
  MonitorRecord record;
  if (ReadMonitor(handle, record)) {
    reinterpret_cast<std::vector<MonitorRecord>*>(list)->push_back(record);
  }
  return TRUE;  // a monitor that cannot be read is left out, the others still count
}

std::u16string ClassName(HWND window) {
  wchar_t name[kClassNameLength] = {};
  const int length = GetClassNameW(window, name, kClassNameLength);
  return std::u16string(AsU16(name), length > 0 ? size_t(length) : 0);
}

}  // namespace

bool IsFullScreen(const CompanionApp& app) {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (SUCCEEDED(SHQueryUserNotificationState(&state)) &&
      (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE)) {
    return true;
  }
  HWND foreground = GetForegroundWindow();
  if (!foreground || foreground == app.shell.companionWindow ||
      foreground == app.shell.bubbleWindow) {
    return false;
  }
  // With nothing active the desktop window itself can be the foreground, and it always covers
  // the monitor.
  if (foreground == GetDesktopWindow() || foreground == GetShellWindow()) return false;
  if (IsShellWindowClass(ClassName(foreground))) return false;
  if (MonitorFromWindow(foreground, MONITOR_DEFAULTTONEAREST) !=
      app.placement.currentMonitor.handle) {
    return false;
  }
  RECT rect{};
  return GetWindowRect(foreground, &rect) &&
         CoversMonitor(ToScreenRect(rect),
                       ToScreenRect(app.placement.currentMonitor.info.rcMonitor));
}

bool TaskbarAbove(HWND window) {
  for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (!IsWindowVisible(above)) continue;
    const std::u16string name = ClassName(above);
    if (name == u"Shell_TrayWnd" || name == u"Shell_SecondaryTrayWnd") return true;
  }
  return false;
}

namespace {

void AssertTopmost(HWND window) {
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace

void KeepTopmost(CompanionApp& app) {
  if (app.shell.sessionLocked || app.shell.suspended || app.shell.fullScreenQuiet) return;
  if (!IsWindowVisible(app.shell.companionWindow)) return;
  const bool topmost =
      (GetWindowLongPtrW(app.shell.companionWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (topmost && !TaskbarAbove(app.shell.companionWindow)) return;
  AssertTopmost(app.shell.companionWindow);
  if (app.bubble.bubbleVisible && app.shell.bubbleWindow) AssertTopmost(app.shell.bubbleWindow);
}

namespace {

ScreenPoint CursorPosition() {
  POINT pointer{};
  GetCursorPos(&pointer);
  return {pointer.x, pointer.y};
}

// The end of a press, by button-up or by the drag timer finding the button up.
PressEnd FinishPress(CompanionApp& app) {
  // Cleared before the capture goes, so the WM_CAPTURECHANGED it causes finds no drag.
  app.placement.dragging = false;
  KillTimer(app.shell.companionWindow, TIMER_DRAG);
  ReleaseCapture();
  const uint64_t now = GetTickCount64();
  app.motion.lastInteractionTick = now;
  app.motion.idleActionTick = now + kActionPauseAfterTouchMs;
  if (app.placement.dragMoved) {
    SavePreferences(app);
    return PressEnd::Dragged;
  }
  return PressEnd::Clicked;
}

}  // namespace

namespace {

void Place(CompanionApp& app, bool force, UINT dpi, bool keepBottomCentre) {
  app.placement.monitors.clear();
  EnumDisplayMonitors(nullptr, nullptr, AppendMonitor,
                      reinterpret_cast<LPARAM>(&app.placement.monitors));
  if (app.placement.monitors.empty()) return;

  std::vector<MonitorChoice> choices;
  for (const MonitorRecord& record : app.placement.monitors) {
    choices.push_back({DeviceName(record), (record.info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  const MonitorRecord chosen =
      app.placement.monitors[ChooseMonitor(choices, app.preferences.monitorDevice)];
  const bool changed = force || chosen.handle != app.placement.currentMonitor.handle;
  app.placement.currentMonitor = chosen;

  PlacementInputs in{.monitor = ToScreenRect(chosen.info.rcMonitor),
                     .work = ToScreenRect(chosen.info.rcWork),
                     .changed = changed,
                     .freePlacement = app.preferences.freePlacement,
                     .position = {app.preferences.positionX, app.preferences.positionY},
                     .characterScale = app.placement.characterScale,
                     .keepBottomCentre = keepBottomCentre};
  const ScreenPoint interim = PlaceOnMonitor(in).interim;
  app.preferences.positionX = interim.x;
  app.preferences.positionY = interim.y;
  // Also keeps the window topmost; the final position reaches the screen with the next render.
  SetWindowPos(app.shell.companionWindow, HWND_TOPMOST, interim.x, interim.y, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE);

  in.dpiScale = dpi != 0 ? float(dpi) / kBaseDpi : 1.0f;
  in.sizeMultiple = app.preferences.sizeMultiple;
  const Placement placement = PlaceOnMonitor(in);
  app.placement.fitScale = placement.fitScale;
  app.placement.characterScale = placement.characterScale;
  app.preferences.positionX = placement.position.x;
  app.preferences.positionY = placement.position.y;
  ResizeSurface(app.figure.characterSurface, placement.width, placement.height);

  if (changed) SetMotionState(app, MotionState::Idle, GetTickCount64());
  if (app.motion.motionState == MotionState::Walk) {
    const Span span = TaskbarSpan(in.work, placement.margin, placement.width);
    app.motion.walkFromX =
        std::clamp(double(int32_t(app.motion.walkFromX)), double(span.low), double(span.high));
    app.motion.walkToX =
        std::clamp(double(int32_t(app.motion.walkToX)), double(span.low), double(span.high));
  }
}

}  // namespace

void PlaceCharacter(CompanionApp& app, bool force) {
  Place(app, force, GetDpiForWindow(app.shell.companionWindow), false);
}

void RescaleCharacter(CompanionApp& app, uint32_t dpi) {
  Place(app, false, dpi, true);
}

void PressCharacter(CompanionApp& app) {
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT rect{};
  GetWindowRect(app.shell.companionWindow, &rect);
  app.placement.dragStartCursor = cursor;
  app.placement.dragStartWindow = {rect.left, rect.top};
  app.placement.dragLastCursor = cursor;
  app.placement.dragging = true;
  app.placement.dragMoved = false;
  StopMotionTimer(app);
  SetCapture(app.shell.companionWindow);
  SetTimer(app.shell.companionWindow, TIMER_DRAG, kDragPeriodMs, nullptr);
}

bool DragMove(CompanionApp& app) {
  if (!app.placement.dragging) return false;
  const ScreenPoint pointer = CursorPosition();
  if (pointer.x == app.placement.dragLastCursor.x && pointer.y == app.placement.dragLastCursor.y)
    return false;
  const uint64_t now = GetTickCount64();
  if (!app.placement.dragMoved) {
    const ScreenPoint start{app.placement.dragStartCursor.x, app.placement.dragStartCursor.y};
    if (!BeyondDragThreshold(start, pointer, GetSystemMetrics(SM_CXDRAG),
                             GetSystemMetrics(SM_CYDRAG))) {
      return false;  // still a click
    }
    SetMotionState(app, MotionState::Idle, now);
  }
  app.placement.dragLastCursor = {pointer.x, pointer.y};
  app.placement.dragMoved = true;
  app.preferences.freePlacement = true;

  MonitorRecord nearest;
  if (ReadMonitor(MonitorFromPoint({pointer.x, pointer.y}, MONITOR_DEFAULTTONEAREST), nearest)) {
    app.placement.currentMonitor = nearest;
  }
  const ScreenPoint moved{
      app.placement.dragStartWindow.x + pointer.x - app.placement.dragStartCursor.x,
      app.placement.dragStartWindow.y + pointer.y - app.placement.dragStartCursor.y};
  const ScreenPoint clamped = ClampToMonitor(
      moved, ToScreenRect(app.placement.currentMonitor.info.rcMonitor),
      CharacterWidth(app.placement.characterScale), CharacterHeight(app.placement.characterScale));
  app.preferences.positionX = clamped.x;
  app.preferences.positionY = clamped.y;
  app.preferences.monitorDevice = std::u16string(DeviceName(app.placement.currentMonitor));
  RenderCharacter(app, now);
  return true;
}

PressEnd ReleaseCharacter(CompanionApp& app) {
  if (!app.placement.dragging) return PressEnd::None;
  return FinishPress(app);
}

PressEnd DragTimerStep(CompanionApp& app) {
  if (!app.placement.dragging) {
    KillTimer(app.shell.companionWindow, TIMER_DRAG);
    return PressEnd::None;
  }
  // The button-up message can be lost (another window took the capture); the key state cannot.
  // The key state is the physical button, which is the right one when the buttons are swapped.
  const int primary = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  if ((GetAsyncKeyState(primary) & 0x8000) == 0 && app.placement.dragging) return FinishPress(app);
  return PressEnd::None;
}

void EndDrag(CompanionApp& app) {
  const bool pressed = app.placement.dragging;
  const bool moved = app.placement.dragging && app.placement.dragMoved;
  app.placement.dragging = false;
  KillTimer(app.shell.companionWindow, TIMER_DRAG);
  if (GetCapture() == app.shell.companionWindow) ReleaseCapture();
  if (moved) SavePreferences(app);
  if (pressed) ResumeMotion(app);
}

}  // namespace companion
