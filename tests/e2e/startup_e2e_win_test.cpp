// The real program under Wine: command line, single instance, windows and exit codes.
#include "tests/e2e/companion_process_win.h"

#include <gtest/gtest.h>

namespace companion::e2e {
namespace {

// The real process line reaches the command-line parsing (tested natively). The bubble is owned
// by the figure; --preview makes an application window; a closed companion ends with 0. Each
// companion a test starts is ended by its CompanionProcess at the latest.
TEST(Startup, SecondInstanceShowsAScriptureQuitEndsTheFirstAndPreviewClosesWithZero) {
  RemovePreferences();
  CompanionProcess first(L"");
  HWND window = WaitForCompanionWindow();
  ASSERT_NE(window, nullptr);
  HWND bubble = FindWindowW(L"ScrollwickCompanion.Bubble.V1", L"Scripture");
  EXPECT_TRUE(GetWindow(bubble, GW_OWNER) == window && !IsWindowVisible(bubble));
  EXPECT_EQ(RunCompanionToExit(L""), 0);
  EXPECT_TRUE(WaitUntil(60000, [&] { return IsWindowVisible(bubble); }));  // an offline verse
  EXPECT_EQ(RunCompanionToExit(L"--quit now"), 0);  // not a switch: a normal second instance
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & 0xFFFFFFFF, 0x08080088);
  EXPECT_EQ(RunCompanionToExit(L"\t--quit"), 0);
  EXPECT_EQ(first.WaitForExit(), 0);
  EXPECT_EQ(RunCompanionToExit(L"--quit"), 0);  // none running

  CompanionProcess preview(L"--preview");
  window = WaitForCompanionWindow();
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & 0xFFFFFFFF, 0x080C0008);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(preview.WaitForExit(), 0);
}

// A starting or closing companion holds the mutex without a window for a moment: --quit waits for
// the window (one made here) and a relaunch, which used to end at once, waits for the mutex.
TEST(Startup, QuitAndRelaunchWaitWhileTheMutexIsHeldWithoutAWindow) {
  HANDLE held = CreateMutexW(nullptr, TRUE, L"Local\\ScrollwickCompanion.V1");
  CompanionProcess quit(L"--quit");
  Sleep(1500);
  EXPECT_TRUE(quit.Running());
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW, windowClass.lpszClassName = L"ScrollwickCompanion.V1";
  RegisterClassW(&windowClass);  // kept for the test process's life
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Scrollwick Companion", WS_POPUP, 0,
                                0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(WaitUntil(5000, [&] {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
      DispatchMessageW(&message);
    return !IsWindow(window);  // the default procedure destroys it on WM_CLOSE
  }));
  EXPECT_EQ(quit.WaitForExit(), 0);

  CompanionProcess relaunch(L"");
  Sleep(1500);
  EXPECT_TRUE(relaunch.Running());
  CloseHandle(held);
  EXPECT_NE(WaitForCompanionWindow(), nullptr);
}

}  // namespace
}  // namespace companion::e2e
