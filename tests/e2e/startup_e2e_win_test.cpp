// The real program under Wine: command line, single instance, windows and exit codes.
#include "tests/e2e/companion_process_win.h"

#include <gtest/gtest.h>

#include <utility>

namespace companion::e2e {
namespace {

constexpr LONG_PTR kCompanionExStyle = 0x08080088;

// Each companion a test starts is ended by its CompanionProcess at the latest.
class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(L"ScrollwickCompanion.V1", nullptr), nullptr);  // none left over
    RemovePreferences();
  }
};

// The bubble is owned by the figure; --preview is an application window; either closes with 0.
TEST_F(Startup, NormalAndPreviewStartsMakeTheirWindowsAndCloseWithZero) {
  for (const auto& [arguments, exStyle] :
       {std::pair{L"", kCompanionExStyle}, std::pair{L"--preview", LONG_PTR{0x080C0008}}}) {
    CompanionProcess companion(arguments);
    HWND window = WaitForCompanionWindow();
    ASSERT_NE(window, nullptr) << arguments;
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & 0xFFFFFFFF, exStyle) << arguments;
    HWND bubble = FindWindowW(L"ScrollwickCompanion.Bubble.V1", L"Scripture");
    EXPECT_EQ(GetWindow(bubble, GW_OWNER), window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(companion.WaitForExit(), 0) << arguments;
  }
}

// The parsing of the command line is tested natively; here the real process line reaches it.
TEST_F(Startup, SecondInstanceShowsAScriptureAndQuitEndsTheFirst) {
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
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & 0xFFFFFFFF, kCompanionExStyle);
  EXPECT_EQ(RunCompanionToExit(L"\t--quit"), 0);
  EXPECT_EQ(first.WaitForExit(), 0);
  EXPECT_EQ(RunCompanionToExit(L"--quit"), 0);  // none running
}

// A starting or closing companion holds the mutex without a window for a moment: --quit waits for
// the window (one made here) and a relaunch, which used to end at once, waits for the mutex.
TEST_F(Startup, QuitAndRelaunchWaitWhileTheMutexIsHeldWithoutAWindow) {
  HANDLE held = CreateMutexW(nullptr, TRUE, L"Local\\ScrollwickCompanion.V1");
  CompanionProcess quit(L"--quit");
  Sleep(1500);
  EXPECT_TRUE(quit.Running());
  WNDCLASSW windowClass{0,       DefWindowProcW, 0,       0,       nullptr,
                        nullptr, nullptr,        nullptr, nullptr, L"ScrollwickCompanion.V1"};
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

  CompanionProcess relaunch(L"");
  Sleep(1500);
  EXPECT_TRUE(relaunch.Running());
  CloseHandle(held);
  EXPECT_NE(WaitForCompanionWindow(), nullptr);
}

}  // namespace
}  // namespace companion::e2e
