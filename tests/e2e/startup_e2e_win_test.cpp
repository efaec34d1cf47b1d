// The real program under Wine: command line, single instance, windows and exit codes.
#include "tests/e2e/companion_process_win.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <utility>

namespace companion::e2e {
namespace {

constexpr LONG_PTR kCompanionExStyle = 0x08080088;
constexpr LONG_PTR kPreviewExStyle = 0x080C0008;

LONG_PTR ExStyle(HWND window) {
  return GetWindowLongPtrW(window, GWL_EXSTYLE) & 0xFFFFFFFF;
}

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(L"ScrollwickCompanion.V1", nullptr), nullptr)
        << "a companion from an earlier test is still running";
    RemovePreferences();
  }
  void TearDown() override {
    if (HWND window = FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion")) {
      PostMessageW(window, WM_CLOSE, 0, 0);
      WaitUntil(20000, [window] { return !IsWindow(window); });
    }
  }
};

// The bubble is owned by the figure and the hint by the bubble; --preview is an application
// window; either closes with 0.
TEST_F(Startup, NormalAndPreviewStartsMakeTheirWindowsAndCloseWithZero) {
  for (const auto& [arguments, exStyle] :
       {std::pair{L"", kCompanionExStyle}, std::pair{L"--preview", kPreviewExStyle}}) {
    CompanionProcess companion(arguments);
    HWND window = WaitForCompanionWindow();
    ASSERT_NE(window, nullptr) << arguments;
    EXPECT_EQ(ExStyle(window), exStyle) << arguments;
    HWND bubble = FindWindowW(L"ScrollwickCompanion.Bubble.V1", L"Scripture");
    EXPECT_EQ(GetWindow(bubble, GW_OWNER), window);
    HWND hint = nullptr;
    while ((hint = FindWindowExW(nullptr, hint, TOOLTIPS_CLASSW, nullptr)) &&
           GetWindow(hint, GW_OWNER) != bubble) {
    }
    EXPECT_NE(hint, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(companion.WaitForExit(), 0) << arguments;
  }
}

// The parsing of the command line is tested natively; here the real process line reaches it.
TEST_F(Startup, QuitClosesTheRunningInstanceAndExitsZeroWithNoneRunning) {
  CompanionProcess companion(L"");
  ASSERT_NE(WaitForCompanionWindow(), nullptr);
  EXPECT_EQ(RunCompanionToExit(L"\t--quit"), 0);
  EXPECT_EQ(companion.WaitForExit(), 0);
  EXPECT_EQ(RunCompanionToExit(L"--quit"), 0);
  EXPECT_EQ(FindWindowW(L"ScrollwickCompanion.V1", nullptr), nullptr);
}

TEST_F(Startup, SecondInstanceMakesTheFirstShowAScriptureAndKeepsItsStyle) {
  CompanionProcess first(L"");
  HWND window = WaitForCompanionWindow();
  ASSERT_NE(window, nullptr);
  HWND bubble = FindWindowW(L"ScrollwickCompanion.Bubble.V1", L"Scripture");
  ASSERT_FALSE(IsWindowVisible(bubble));
  EXPECT_EQ(RunCompanionToExit(L""), 0);
  // No Bible server is reachable: an offline verse, once the worker has given up.
  EXPECT_TRUE(WaitUntil(60000, [&] { return IsWindowVisible(bubble) != FALSE; }));
  // Not a switch: a normal instance, which finds the first and exits.
  EXPECT_EQ(RunCompanionToExit(L"--quit now"), 0);
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion"), window);
  EXPECT_EQ(ExStyle(window), kCompanionExStyle);
}

// A companion that is closing (or starting) holds the mutex without a window for a moment; a
// relaunch then used to end at once with nothing shown.
TEST_F(Startup, RelaunchWaitsForAClosingCompanionToLetTheMutexGo) {
  HANDLE closing = CreateMutexW(nullptr, TRUE, L"Local\\ScrollwickCompanion.V1");
  CompanionProcess relaunch(L"");
  Sleep(1500);
  EXPECT_TRUE(relaunch.Running());
  CloseHandle(closing);
  // The relaunch becomes the companion; TearDown closes it.
  EXPECT_NE(WaitForCompanionWindow(), nullptr);
}

// A starting companion holds the mutex before its window exists; --quit then waits for the window
// (here one of the companion's class and title made by the test) instead of missing it.
TEST_F(Startup, QuitWaitsForAStartingCompanionsWindow) {
  HANDLE starting = CreateMutexW(nullptr, TRUE, L"Local\\ScrollwickCompanion.V1");
  CompanionProcess quit(L"--quit");
  Sleep(1500);
  EXPECT_TRUE(quit.Running());
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.lpszClassName = L"ScrollwickCompanion.V1";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Scrollwick Companion", WS_POPUP, 0,
                                0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(WaitUntil(5000, [&] {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
    return !IsWindow(window);  // the default procedure destroys it on WM_CLOSE
  }));
  EXPECT_EQ(quit.WaitForExit(), 0);
  UnregisterClassW(windowClass.lpszClassName, nullptr);
  CloseHandle(starting);
}

}  // namespace
}  // namespace companion::e2e
