#include "app/companion_window_win.h"
#include "app/coordinator_win.h"

#include <wtsapi32.h>

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "app/menu_win.h"
#include "base/wide_win.h"
#include "character/motion_win.h"
#include "character/placement_win.h"
#include "bubble/bubble_window_win.h"
#include "character/presentation_win.h"
#include "scripture/requests_win.h"
#include "settings/tray_icon_win.h"

namespace companion {

namespace {

constexpr char16_t kFailureText[] = u"The companion could not continue. Please restart it.";

// The figure was placed anew: it is drawn there, and a bubble beside it follows.
void RedrawPlaced(CompanionApp& app) {
  RenderCharacter(app, GetTickCount64());
  if (app.bubble.bubbleVisible) RenderBubble(app);
}

// Work area or display changed.
void RefreshDisplay(CompanionApp& app) {
  PlaceCharacter(app, false);
  RedrawPlaced(app);
}

void RunDestroySequence(CompanionApp& app, HWND window) {
  EndDrag(app);
  StopMotionTimer(app);
  KillTimer(window, TIMER_TICK);
  KillTimer(window, TIMER_DRAG);
  KillTimer(window, TIMER_BUBBLE);
  WTSUnRegisterSessionNotification(window);
  RemoveTrayIcon(app);
  if (app.shell.bubbleWindow) {
    // The hint window, which the bubble owns, goes with it.
    DestroyWindow(app.shell.bubbleWindow);
    app.shell.bubbleWindow = nullptr;
    app.shell.hintWindow = nullptr;
  }
  EndScriptureRequest(app);
  PostQuitMessage(0);
}

// A dragged figure takes its bubble along.
void FollowPointer(CompanionApp& app) {
  if (DragMove(app) && app.bubble.bubbleVisible) RenderBubble(app);
}

// A press that ended as a click asks or dismisses; either way the figure moves on.
void EndPress(CompanionApp& app, PressEnd end) {
  if (end == PressEnd::None) return;
  if (end == PressEnd::Clicked) ApplyClickRule(app);
  ResumeMotion(app);
}

void ShowContextMenuAtCursor(CompanionApp& app) {
  POINT cursor{};
  GetCursorPos(&cursor);
  ShowContextMenu(app, cursor);
}

void OnTimer(CompanionApp& app, WPARAM id) {
  switch (id) {
    case TIMER_TICK:
      CompanionTick(app);
      break;
    case TIMER_MOTION:
      if (app.shell.sessionLocked || app.shell.suspended || app.shell.fullScreenQuiet ||
          app.preferences.paused || !app.preferences.movementEnabled || app.placement.dragging) {
        StopMotionTimer(app);
      } else {
        MotionStep(app, GetTickCount64());
      }
      break;
    case TIMER_DRAG:
      FollowPointer(app);
      EndPress(app, DragTimerStep(app));
      break;
    case TIMER_BUBBLE:
      // The timer is periodic; before the deadline it simply fires again a period later.
      if (GetTickCount64() >= app.bubble.bubbleHideTick) HideBubble(app);
      break;
    default:
      break;
  }
}

void OnPowerBroadcast(CompanionApp& app, WPARAM event) {
  if (event == PBT_APMSUSPEND) {
    SetSuspended(app, true);
  } else if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
    SetSuspended(app, false);
  }
}

void OnSessionChange(CompanionApp& app, WPARAM event) {
  if (event == WTS_SESSION_LOCK) {
    LockSession(app);
  } else if (event == WTS_SESSION_UNLOCK) {
    UnlockSession(app);
  }
}

// One user action, one effect. A right click on a version-4 icon delivers WM_RBUTTONUP and then
// WM_CONTEXTMENU (the menu key only the latter), so the menu opens on WM_CONTEXTMENU alone. A
// double click delivers two selects, and Enter on the icon two key selects: a select within the
// double-click time of the last one is the same action.
void OnTrayEvent(CompanionApp& app, UINT event) {
  switch (event) {
    case WM_CONTEXTMENU:
      // The icon's anchor point is not used: the menu opens where the pointer is.
      ShowContextMenuAtCursor(app);
      break;
    case NIN_SELECT:
    case NIN_KEYSELECT: {
      const uint64_t now = GetTickCount64();
      if (app.shell.lastTraySelectTick != 0 &&
          now - app.shell.lastTraySelectTick < GetDoubleClickTime()) {
        break;
      }
      app.shell.lastTraySelectTick = now;
      ApplyClickRule(app);
      break;
    }
    default:
      break;
  }
}

LRESULT DispatchCompanionMessage(CompanionApp& app, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  // Explorer broadcasts this after it restarts; the icon has to be added again.
  if (app.shell.taskbarCreatedMessage != 0 && message == app.shell.taskbarCreatedMessage) {
    AddTrayIcon(app);
    return 0;
  }
  switch (message) {
    case WM_DESTROY:
      RunDestroySequence(app, window);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA) RefreshDisplay(app);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_DISPLAYCHANGE:
      RefreshDisplay(app);
      return 0;
    case WM_TIMER:
      OnTimer(app, wParam);
      return 0;
    case WM_MOUSEMOVE:
      FollowPointer(app);
      return 0;
    case WM_LBUTTONDOWN:
      PressCharacter(app);
      return 0;
    case WM_LBUTTONUP:
      EndPress(app, ReleaseCharacter(app));
      return 0;
    case WM_RBUTTONUP:
      ShowContextMenuAtCursor(app);
      return 0;
    case WM_CAPTURECHANGED:
      EndDrag(app);
      return 0;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(app, wParam);
      return TRUE;
    case WM_WTSSESSION_CHANGE:
      OnSessionChange(app, wParam);
      return 0;
    case WM_DPICHANGED:
      // The new vertical DPI. The figure keeps its bottom centre; the suggested rectangle in
      // lParam is not used.
      RescaleCharacter(app, HIWORD(wParam));
      RedrawPlaced(app);
      return 0;
    case WM_COMPANION_TRAY:
      OnTrayEvent(app, LOWORD(lParam));
      return 0;
    case WM_COMPANION_SHOW:
      RequestScripture(app, false);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT FailCompanion(HWND window) noexcept {
  // The box runs a message loop of its own, in which the timers and any queued message would
  // meet the same broken state again: without this the user would get a pile of boxes.
  static bool reporting = false;
  if (reporting) return 0;
  reporting = true;
  for (const uintptr_t timer : {TIMER_TICK, TIMER_MOTION, TIMER_DRAG, TIMER_BUBBLE}) {
    KillTimer(window, timer);
  }
  MessageBoxW(window, AsWide(kFailureText), AsWide(kCompanionTitle), MB_OK | MB_ICONERROR);
  DestroyWindow(window);
  reporting = false;
  return 0;
}

}  // namespace

LRESULT CALLBACK CompanionWindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
  CompanionApp* app = processCompanionApp;
  if (!app) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return DispatchCompanionMessage(*app, window, message, wParam, lParam);
  } catch (...) {
    return FailCompanion(window);
  }
}

}  // namespace companion
