#include "character/placement_win.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <string_view>
#include <vector>

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "app/companion_window_win.h"
#include "base/wide_win.h"
#include "bubble/bubble_window_win.h"
#include "character/motion_win.h"
#include "character/placement.h"
#include "character/presentation_win.h"
#include "scripture/requests.h"
#include "scripture/requests_win.h"
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

bool IsFullScreen(const CompanionApp& app) {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (SUCCEEDED(SHQueryUserNotificationState(&state)) &&
      (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE)) {
    return true;
  }
  HWND foreground = GetForegroundWindow();
  if (!foreground || foreground == app.companionWindow || foreground == app.bubbleWindow) {
    return false;
  }
  // With nothing active the desktop window itself can be the foreground, and it always covers
  // the monitor.
  if (foreground == GetDesktopWindow() || foreground == GetShellWindow()) return false;
  if (IsShellWindowClass(ClassName(foreground))) return false;
  if (MonitorFromWindow(foreground, MONITOR_DEFAULTTONEAREST) != app.currentMonitor.handle) {
    return false;
  }
  RECT rect{};
  return GetWindowRect(foreground, &rect) &&
         CoversMonitor(ToScreenRect(rect), ToScreenRect(app.currentMonitor.info.rcMonitor));
}

bool TaskbarAbove(HWND window) {
  for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (!IsWindowVisible(above)) continue;
    const std::u16string name = ClassName(above);
    if (name == u"Shell_TrayWnd" || name == u"Shell_SecondaryTrayWnd") return true;
  }
  return false;
}

void AssertTopmost(HWND window) {
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// The taskbar can be raised over topmost windows; the figure and its bubble go back on top.
void KeepTopmost(CompanionApp& app) {
  if (app.sessionLocked || app.suspended || app.fullScreenQuiet) return;
  if (!IsWindowVisible(app.companionWindow)) return;
  const bool topmost = (GetWindowLongPtrW(app.companionWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (topmost && !TaskbarAbove(app.companionWindow)) return;
  AssertTopmost(app.companionWindow);
  if (app.bubbleVisible && app.bubbleWindow) AssertTopmost(app.bubbleWindow);
}

ScreenPoint CursorPosition() {
  POINT pointer{};
  GetCursorPos(&pointer);
  return {pointer.x, pointer.y};
}

// The end of a press, by button-up or by the drag timer finding the button up.
void FinishPress(CompanionApp& app) {
  // Cleared before the capture goes, so the WM_CAPTURECHANGED it causes finds no drag.
  app.dragging = false;
  KillTimer(app.companionWindow, TIMER_DRAG);
  ReleaseCapture();
  const uint64_t now = GetTickCount64();
  app.lastInteractionTick = now;
  app.idleActionTick = now + kActionPauseAfterTouchMs;
  if (app.dragMoved) {
    SavePreferences(app);
  } else {
    ApplyClickRule(app);
  }
  ResumeMotion(app);
}

}  // namespace

namespace {

void Place(CompanionApp& app, bool force, UINT dpi, bool keepBottomCentre) {
  app.monitors.clear();
  EnumDisplayMonitors(nullptr, nullptr, AppendMonitor, reinterpret_cast<LPARAM>(&app.monitors));
  if (app.monitors.empty()) return;

  std::vector<MonitorChoice> choices;
  for (const MonitorRecord& record : app.monitors) {
    choices.push_back({DeviceName(record), (record.info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  const MonitorRecord chosen = app.monitors[ChooseMonitor(choices, app.monitorDevice)];
  const bool changed = force || chosen.handle != app.currentMonitor.handle;
  app.currentMonitor = chosen;

  PlacementInputs in{.monitor = ToScreenRect(chosen.info.rcMonitor),
                     .work = ToScreenRect(chosen.info.rcWork),
                     .changed = changed,
                     .freePlacement = app.freePlacement,
                     .position = {app.positionX, app.positionY},
                     .characterScale = app.characterScale,
                     .keepBottomCentre = keepBottomCentre};
  const ScreenPoint interim = PlaceOnMonitor(in).interim;
  app.positionX = interim.x;
  app.positionY = interim.y;
  // Also keeps the window topmost; the final position reaches the screen with the next render.
  SetWindowPos(app.companionWindow, HWND_TOPMOST, interim.x, interim.y, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE);

  in.dpiScale = dpi != 0 ? float(dpi) / 96.0f : 1.0f;
  in.sizeMultiple = app.sizeMultiple;
  const Placement placement = PlaceOnMonitor(in);
  app.fitScale = placement.fitScale;
  app.characterScale = placement.characterScale;
  app.positionX = placement.position.x;
  app.positionY = placement.position.y;
  ResizeSurface(app.characterSurface, placement.width, placement.height);

  if (changed) SetMotionState(app, MotionState::Idle, GetTickCount64());
  if (app.motionState == MotionState::Walk) {
    const Span span = TaskbarSpan(in.work, placement.margin, placement.width);
    app.walkFromX = std::clamp(double(int32_t(app.walkFromX)), double(span.low), double(span.high));
    app.walkToX = std::clamp(double(int32_t(app.walkToX)), double(span.low), double(span.high));
  }
}

}  // namespace

void PlaceCharacter(CompanionApp& app, bool force) {
  Place(app, force, GetDpiForWindow(app.companionWindow), false);
}

void RescaleCharacter(CompanionApp& app, uint32_t dpi) {
  Place(app, false, dpi, true);
}

void FullScreenWatch(CompanionApp& app, uint64_t now) {
  const bool full = IsFullScreen(app);
  if (full != app.fullScreenQuiet) {
    app.fullScreenQuiet = full;
    if (full) {
      HideBubble(app);
      ShowWindow(app.companionWindow, SW_HIDE);
      StopMotionTimer(app);
    } else {
      PlaceCharacter(app, false);
      RenderCharacter(app, now);
      ShowWindow(app.companionWindow, SW_SHOWNOACTIVATE);
      ResumeMotion(app);
    }
  }
  KeepTopmost(app);
}

void CompanionTick(CompanionApp& app) {
  const uint64_t now = GetTickCount64();
  if (TickGapRestartsSchedule(now, app.lastTickTick)) {
    PromptTickRestartSchedule(app, now);
    SetMotionState(app, MotionState::Idle, now);
  }
  app.lastTickTick = now;
  if (app.sessionLocked || app.suspended || app.dragging) return;
  FullScreenWatch(app, now);
  if (app.fullScreenQuiet) {
    PromptTickRestartSchedule(app, now);
    return;
  }
  PromptTickCollectAndExpire(app, now);
  if (app.paused) {
    StopMotionTimer(app);
    PromptTickRestartSchedule(app, now);
    return;
  }
  PromptTickAutomatic(app, now);
  BehaviourTick(app, now);
}

void PressCharacter(CompanionApp& app) {
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT rect{};
  GetWindowRect(app.companionWindow, &rect);
  app.dragStartCursor = cursor;
  app.dragStartWindow = {rect.left, rect.top};
  app.dragLastCursor = cursor;
  app.dragging = true;
  app.dragMoved = false;
  StopMotionTimer(app);
  SetCapture(app.companionWindow);
  SetTimer(app.companionWindow, TIMER_DRAG, kDragPeriodMs, nullptr);
}

void DragMove(CompanionApp& app) {
  if (!app.dragging) return;
  const ScreenPoint pointer = CursorPosition();
  if (pointer.x == app.dragLastCursor.x && pointer.y == app.dragLastCursor.y) return;
  const uint64_t now = GetTickCount64();
  if (!app.dragMoved) {
    const ScreenPoint start{app.dragStartCursor.x, app.dragStartCursor.y};
    if (!BeyondDragThreshold(start, pointer, GetSystemMetrics(SM_CXDRAG),
                             GetSystemMetrics(SM_CYDRAG))) {
      return;  // still a click
    }
    SetMotionState(app, MotionState::Idle, now);
  }
  app.dragLastCursor = {pointer.x, pointer.y};
  app.dragMoved = true;
  app.freePlacement = true;

  MonitorRecord nearest;
  if (ReadMonitor(MonitorFromPoint({pointer.x, pointer.y}, MONITOR_DEFAULTTONEAREST), nearest)) {
    app.currentMonitor = nearest;
  }
  const ScreenPoint moved{app.dragStartWindow.x + pointer.x - app.dragStartCursor.x,
                          app.dragStartWindow.y + pointer.y - app.dragStartCursor.y};
  const ScreenPoint clamped =
      ClampToMonitor(moved, ToScreenRect(app.currentMonitor.info.rcMonitor),
                     CharacterWidth(app.characterScale), CharacterHeight(app.characterScale));
  app.positionX = clamped.x;
  app.positionY = clamped.y;
  app.monitorDevice = std::u16string(DeviceName(app.currentMonitor));
  RenderCharacter(app, now);
  if (app.bubbleVisible) RenderBubble(app);
}

void ReleaseCharacter(CompanionApp& app) {
  if (!app.dragging) return;
  FinishPress(app);
}

void DragTimerStep(CompanionApp& app) {
  if (!app.dragging) {
    KillTimer(app.companionWindow, TIMER_DRAG);
    return;
  }
  DragMove(app);
  // The button-up message can be lost (another window took the capture); the key state cannot.
  // The key state is the physical button, which is the right one when the buttons are swapped.
  const int primary = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  if ((GetAsyncKeyState(primary) & 0x8000) == 0 && app.dragging) FinishPress(app);
}

void EndDrag(CompanionApp& app) {
  const bool pressed = app.dragging;
  const bool moved = app.dragging && app.dragMoved;
  app.dragging = false;
  KillTimer(app.companionWindow, TIMER_DRAG);
  if (GetCapture() == app.companionWindow) ReleaseCapture();
  if (moved) SavePreferences(app);
  if (pressed) ResumeMotion(app);
}

}  // namespace companion
