#include "bubble/bubble_window_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>

#include "base/companion_app_win.h"
#include "base/coordinator_seam_win.h"
#include "base/messages.h"
#include "base/endpoints.h"
#include "base/wide_win.h"
#include "bubble/bubble_drawing_win.h"
#include "character/motion_win.h"
#include "base/desktop_surface_win.h"

namespace companion {

namespace {

RECT WorkAreaOf(const CompanionApp& app) {
  if (app.placement.currentMonitor.handle) return app.placement.currentMonitor.info.rcWork;
  // Before the character has been placed on a display, take the one its window is on.
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromWindow(app.shell.companionWindow, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}

void DrawBubbleOnSurface(CompanionApp& app, const BubblePlacement& placement) {
  SurfaceCanvas canvas(app.bubble.bubbleSurface, placement.scale);
  DrawBubble(
      canvas.graphics(),
      app.bubble.supportPromptShown ? std::u16string(kSupportMessage) : app.scripture.currentText,
      app.bubble.bubbleContentHeight, placement.tailX, placement.tailAtTop);
}

void OnBubbleClick(CompanionApp& app) {
  if (app.bubble.supportPromptShown) {
    OpenUrl(app.shell.companionWindow, kDonationUrl);
  } else if (!app.scripture.currentReference.empty()) {
    OpenUrl(app.shell.companionWindow,
            BuildReferenceUrl(app.scripture.currentReference, app.scripture.currentTranslation));
  }
}

LRESULT DispatchBubbleMessage(CompanionApp& app, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONUP:
      OnBubbleClick(app);
      return 0;
    case WM_CLOSE:
      // The window lives for the whole run; closing it only puts the bubble away.
      HideBubble(app);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

BubbleInputs GatherBubbleInputs(const CompanionApp& app) {
  const RECT work = WorkAreaOf(app);
  BubbleInputs in;
  in.workLeft = work.left;
  in.workTop = work.top;
  in.workRight = work.right;
  in.workBottom = work.bottom;
  in.characterScale = app.placement.characterScale;
  in.fitScale = app.placement.fitScale;
  in.positionX = app.preferences.positionX;
  in.positionY = app.preferences.positionY;
  in.contentHeight = app.bubble.bubbleContentHeight;
  in.sinkOffset = SinkOffset(app, GetTickCount64());
  return in;
}

void RenderBubble(CompanionApp& app) {
  const BubblePlacement placement = PlaceBubble(GatherBubbleInputs(app));
  app.bubble.bubbleX = placement.x;
  app.bubble.bubbleY = placement.y;
  app.bubble.bubbleScale = placement.scale;

  ResizeSurface(app.bubble.bubbleSurface, placement.width, placement.height);
  DrawBubbleOnSurface(app, placement);
  if (!PushLayeredFrame(app.bubble.bubbleSurface, app.shell.bubbleWindow, placement.x, placement.y,
                        kOpaque)) {
    throw std::runtime_error("Windows could not display the Scripture bubble");
  }
  ShowWindow(app.shell.bubbleWindow, SW_SHOWNOACTIVATE);
  UpdateBubbleHint(app);
}

void PrepareBubble(CompanionApp& app) {
  app.bubble.supportPromptShown = false;
  app.bubble.bubbleContentHeight = MeasureBubbleText(app.scripture.currentText);
  app.bubble.bubbleVisible = true;
}

void PrepareSupportBubble(CompanionApp& app) {
  app.bubble.supportPromptShown = true;
  app.bubble.bubbleContentHeight = MeasureBubbleText(kSupportMessage);
  app.bubble.bubbleVisible = true;
}

void StartBubbleTimer(CompanionApp& app) {
  const UINT displayMs = static_cast<UINT>(app.preferences.displaySeconds) * kMsPerSecond;
  app.bubble.bubbleHideTick = GetTickCount64() + displayMs;
  SetTimer(app.shell.companionWindow, TIMER_BUBBLE, displayMs, nullptr);
}

bool BubbleTimeUp(const CompanionApp& app, uint64_t now) {
  return app.bubble.bubbleVisible && now >= app.bubble.bubbleHideTick;
}

void PutBubbleAway(CompanionApp& app) {
  KillTimer(app.shell.companionWindow, TIMER_BUBBLE);
  app.bubble.supportPromptShown = false;
  app.bubble.bubbleVisible = false;
  ShowWindow(app.shell.bubbleWindow, SW_HIDE);
  // A tip on show would otherwise stay behind on an empty spot.
  if (app.shell.hintWindow) SendMessageW(app.shell.hintWindow, TTM_POP, 0, 0);
}

void OpenUrl(HWND owner, const std::u16string& url) {
  const HINSTANCE result =
      ShellExecuteW(owner, L"open", AsWide(url), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) > 32) return;
  const std::u16string text =
      u"Windows could not open your browser. Please visit " + std::u16string(kWebSiteHost) + u".";
  MessageBoxW(owner, AsWide(text), AsWide(kCompanionTitle), MB_OK | MB_ICONINFORMATION);
}

LRESULT CALLBACK BubbleWindowProc(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) noexcept {
  CompanionApp* app = processCompanionApp;
  if (!app) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return DispatchBubbleMessage(*app, window, message, wParam, lParam);
  } catch (...) {
    // The companion window's close ends the run in order.
    PostMessageW(app->shell.companionWindow, WM_CLOSE, 0, 0);
    return 0;
  }
}

}  // namespace companion
