#include "app/startup_win.h"
#include "app/coordinator_win.h"

#include <commctrl.h>
#include <objbase.h>
#include <wtsapi32.h>
#include <gdiplus.h>

#include <cstddef>
#include <memory>
#include <stdexcept>

#include "app/command_line.h"
#include "base/companion_app_win.h"
#include "base/messages.h"
#include "base/owners_win.h"
#include "app/companion_window_win.h"
#include "base/wide_win.h"
#include "bubble/bubble_layout.h"
#include "bubble/bubble_window_win.h"
#include "character/clips.h"
#include "character/placement_win.h"
#include "character/presentation_win.h"
#include "scripture/requests.h"
#include "scripture/requests_win.h"
#include "selftest/self_test_win.h"
#include "settings/preferences_win.h"
#include "settings/tray_icon_win.h"

namespace companion {

namespace {

constexpr DWORD kCompanionExStyle =
    WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr DWORD kPreviewExStyle =
    WS_EX_NOACTIVATE | WS_EX_APPWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST;
constexpr DWORD kBubbleExStyle =
    WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr DWORD kHintExStyle = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
static_assert(kCompanionExStyle == 0x08080088 && kPreviewExStyle == 0x080C0008 &&
              kHintExStyle == 0x08000088);

constexpr char16_t kStartFailureText[] =
    u"The companion could not continue. Please restart it. Your locally saved preferences are "
    u"preserved.";

// Common controls version 5 accept the version-2 tool record; the manifest asks for no newer.
constexpr UINT kToolInfoV2Size = offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM);
static_assert(kToolInfoV2Size == 64);
constexpr int kHintMaxWidth = 360;
// The first replay of the figure's clip comes this long after start-up.
constexpr uint64_t kFirstReplayDelayMs = 12000;
constexpr int kHintInitialDelayMs = 500;

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusSession() {
    if (started_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool Started() const { return started_; }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

void RegisterWindowClass(HINSTANCE instance, const char16_t* name, WNDPROC procedure,
                         const char* failure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_HAND);
  windowClass.lpszClassName = AsWide(name);
  if (!RegisterClassExW(&windowClass)) throw std::runtime_error(failure);
}

}  // namespace

void RegisterCompanionClasses(HINSTANCE instance) {
  RegisterWindowClass(instance, kCompanionClassName, CompanionWindowProc,
                      "Cannot register companion");
  RegisterWindowClass(instance, kBubbleClassName, BubbleWindowProc,
                      "Cannot register Scripture bubble");
}

void CreateCompanionWindows(CompanionApp& app, HINSTANCE instance, bool preview) {
  app.shell.companionWindow =
      CreateWindowExW(preview ? kPreviewExStyle : kCompanionExStyle, AsWide(kCompanionClassName),
                      AsWide(kCompanionTitle), WS_POPUP, 0, 0, kFrameWidth, kFrameHeight, nullptr,
                      nullptr, instance, nullptr);
  if (!app.shell.companionWindow) throw std::runtime_error("Cannot create transparent companion");

  app.shell.bubbleWindow =
      CreateWindowExW(kBubbleExStyle, AsWide(kBubbleClassName), AsWide(kBubbleTitle), WS_POPUP, 0,
                      0, kBubbleUnitsWide, kDefaultBubbleContentHeight, app.shell.companionWindow,
                      nullptr, instance, nullptr);
  if (!app.shell.bubbleWindow) throw std::runtime_error("Cannot create Scripture bubble");

  app.shell.hintWindow = CreateWindowExW(kHintExStyle, TOOLTIPS_CLASSW, nullptr,
                                         WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                         app.shell.bubbleWindow, nullptr, instance, nullptr);
  if (!app.shell.hintWindow) throw std::runtime_error("Cannot create Scripture hint");

  wchar_t hintText[] = L"Scripture";
  TTTOOLINFOW tool{};
  tool.cbSize = kToolInfoV2Size;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = app.shell.bubbleWindow;
  tool.uId = reinterpret_cast<UINT_PTR>(app.shell.bubbleWindow);
  tool.lpszText = hintText;
  if (!SendMessageW(app.shell.hintWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
    throw std::runtime_error("Cannot register Scripture hint");
  }
  SendMessageW(app.shell.hintWindow, TTM_SETMAXTIPWIDTH, 0, kHintMaxWidth);
  SendMessageW(app.shell.hintWindow, TTM_SETDELAYTIME, TTDT_INITIAL, kHintInitialDelayMs);
}

namespace {

// Puts the figure on screen and starts the clock, once the windows exist.
void StartCompanion(CompanionApp& app, bool preview) {
  PlaceCharacter(app, true);
  RenderCharacter(app, GetTickCount64());
  AddTrayIcon(app);
  WTSRegisterSessionNotification(app.shell.companionWindow, NOTIFY_FOR_THIS_SESSION);
  const uint64_t now = GetTickCount64();
  RestartSchedule(app, now);
  app.motion.clipReplayTick = now + kFirstReplayDelayMs;
  ShowWindow(app.shell.companionWindow, SW_SHOWNOACTIVATE);
  SetTimer(app.shell.companionWindow, TIMER_TICK, kTickPeriodMs, nullptr);
  if (preview) RequestScripture(app, false);
}

// Steps from loading the preferences to the end of the message loop; every failure here is
// reported by RunCompanion's single handler.
int StartAndRun(CompanionApp& app, HINSTANCE instance, bool preview) {
  LoadPreferences(app);
  RegisterCompanionClasses(instance);
  CreateCompanionWindows(app, instance, preview);
  app.shell.taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
  StartCompanion(app, preview);

  MSG message;
  BOOL result;
  while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return result == -1 ? kExitMessageLoopFailed : kExitOk;
}

void ShowStartFailure(const CompanionApp& app) {
  MessageBoxW(app.shell.companionWindow, AsWide(kStartFailureText), AsWide(kCompanionTitle),
              MB_OK | MB_ICONERROR);
  if (app.shell.companionWindow && IsWindow(app.shell.companionWindow))
    DestroyWindow(app.shell.companionWindow);
}

// The self-test's own result; a failure it does not check for (a missing resource, no memory for
// a surface) ends it as the program's failure path does, without a message: it has no window.
int RunSelfTestReporting() {
  try {
    return RunSelfTest();
  } catch (const std::exception&) {
    return kExitFailure;
  }
}

enum class Instance { First, Forwarded, NoMutex };

// A companion that is closing holds the mutex a moment after its window has gone, one that is
// starting a moment before its window exists: a relaunch then tries again for a while instead of
// ending with nothing shown.
constexpr ULONGLONG kInstanceRetryMs = 5000;
constexpr DWORD kInstanceRetryStepMs = 100;

// Takes the single-instance mutex into `mutex`, or asks the running companion for a Scripture.
Instance TakeInstance(OwnedMutex& mutex) {
  const ULONGLONG giveUp = GetTickCount64() + kInstanceRetryMs;
  for (;;) {
    KernelHandle created(CreateMutexW(nullptr, TRUE, AsWide(kInstanceMutexName)));
    if (!created.Valid()) return Instance::NoMutex;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      mutex = OwnedMutex(created.Release());
      return Instance::First;
    }
    // Our handle alone would keep the mutex alive after the other instance lets it go.
    created.Reset();
    if (HWND running = FindRunningCompanion()) {
      PostMessageW(running, WM_COMPANION_SHOW, 0, 0);
      return Instance::Forwarded;
    }
    if (GetTickCount64() >= giveUp) return Instance::Forwarded;
    Sleep(kInstanceRetryStepMs);
  }
}

// A companion that is starting holds the mutex before its window exists: --quit waits for the
// window then, instead of leaving that companion running. It only opens the mutex, never makes it.
void QuitRunningCompanion() {
  const ULONGLONG giveUp = GetTickCount64() + kInstanceRetryMs;
  for (;;) {
    if (HWND running = FindRunningCompanion()) {
      PostMessageW(running, WM_CLOSE, 0, 0);
      return;
    }
    if (!KernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, AsWide(kInstanceMutexName))).Valid()) return;
    if (GetTickCount64() >= giveUp) return;
    Sleep(kInstanceRetryStepMs);
  }
}

}  // namespace

HWND FindRunningCompanion() {
  return FindWindowW(AsWide(kCompanionClassName), AsWide(kCompanionTitle));
}

int RunCompanion(HINSTANCE instance, std::u16string_view arguments) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  GdiplusSession gdiplus;
  if (!gdiplus.Started()) return kExitNoGdiplus;

  const CommandLineSwitch commandSwitch = ParseCommandLine(arguments);
  if (commandSwitch == CommandLineSwitch::SelfTest) return RunSelfTestReporting();
  if (commandSwitch == CommandLineSwitch::Quit) {
    QuitRunningCompanion();
    return kExitOk;
  }

  OwnedMutex mutex;
  const Instance taken = TakeInstance(mutex);
  if (taken == Instance::NoMutex) return kExitNoMutex;
  if (taken == Instance::Forwarded) return kExitOk;

  const ComApartment apartment;
  int exitCode = kExitOk;
  {
    auto app = std::make_unique<CompanionApp>();
    processCompanionApp = app.get();
    try {
      exitCode = StartAndRun(*app, instance, commandSwitch == CommandLineSwitch::Preview);
    } catch (const std::exception&) {
      ShowStartFailure(*app);
      exitCode = kExitFailure;
    }
    processCompanionApp = nullptr;
  }
  return exitCode;
}

}  // namespace companion
