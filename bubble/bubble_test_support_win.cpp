#include "bubble/bubble_test_support_win.h"

#include "bubble/bubble_window_win.h"
#include "settings/preferences_win.h"

namespace companion::testing {

namespace {
constexpr wchar_t kTestBubbleClass[] = L"ScrollwickCompanion.Bubble.Test";
}

Pixel PixelAt(const DesktopSurface& surface, int32_t x, int32_t y) {
  const uint8_t* p = surface.pixels + (size_t(y) * size_t(surface.width) + size_t(x)) * 4;
  return {p[0], p[1], p[2], p[3]};
}

void CompanionWithBubble::SetUpTestSuite() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = BubbleWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kTestBubbleClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when another suite registered it
}

void CompanionWithBubble::SetUp() {
  app_ = std::make_unique<CompanionApp>();
  LoadPreferencesFrom(*app_, temp_.Path());
  app_->shell.companionWindow = CreateWindowExW(0, L"STATIC", L"Companion", WS_POPUP, 0, 0, 280,
                                                190, nullptr, nullptr, nullptr, nullptr);
  app_->shell.bubbleWindow =
      CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                      kTestBubbleClass, L"Scripture", WS_POPUP, 0, 0, 350, 260,
                      app_->shell.companionWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(app_->shell.bubbleWindow, nullptr);
  app_->preferences.positionX = 600;
  app_->preferences.positionY = 600;
  processCompanionApp = app_.get();
}

void CompanionWithBubble::TearDown() {
  if (app_->scripture.scriptureFuture.valid()) app_->scripture.scriptureFuture.wait();
  processCompanionApp = nullptr;
  DestroyWindow(app_->shell.bubbleWindow);
  DestroyWindow(app_->shell.companionWindow);
}

}  // namespace companion::testing
