#include "bubble/bubble_window_win.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/companion_app_win.h"
#include "app/companion_messages.h"
#include "app/wide_win.h"
#include "bubble/bubble_drawing_win.h"
#include "bubble/bubble_test_support_win.h"
#include "settings/preferences_win.h"
#include "tests/message_box_watcher_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

using testing::PixelAt;

constexpr wchar_t kTestBubbleClass[] = L"ScrollwickCompanion.Bubble.Test";

// A companion record with a plain owner window and a real bubble window on the bubble's own
// procedure, published as the running companion for the test's duration.
class BubbleWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = BubbleWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTestBubbleClass;
    RegisterClassExW(&windowClass);
  }
  void SetUp() override {
    app_ = std::make_unique<CompanionApp>();
    LoadPreferencesFrom(*app_, temp_.Path());
    app_->companionWindow = CreateWindowExW(0, L"STATIC", L"Companion", WS_POPUP, 0, 0, 280, 190,
                                            nullptr, nullptr, nullptr, nullptr);
    app_->bubbleWindow =
        CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                        kTestBubbleClass, L"Scripture", WS_POPUP, 0, 0, 350, 260,
                        app_->companionWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(app_->bubbleWindow, nullptr);
    processCompanionApp = app_.get();
  }
  void TearDown() override {
    processCompanionApp = nullptr;
    DestroyWindow(app_->bubbleWindow);
    DestroyWindow(app_->companionWindow);
  }
  void ShowScripture(const std::u16string& text) {
    app_->currentText = text;
    app_->currentReference = u"Psalms 23:1";
    app_->currentTranslation = u"web";
    app_->bubbleContentHeight = MeasureBubbleText(text);
    app_->bubbleVisible = true;
    RenderBubble(*app_);
  }
  std::string PreferencesFile() { return testing::ReadWholeFile(app_->preferencesPath); }

  testing::TempFolder temp_;
  std::unique_ptr<CompanionApp> app_;
};

TEST_F(BubbleWindow, RenderedBesideTheCharacter) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  app_->positionX = work.left + 400;
  app_->positionY = work.bottom - 200;
  ShowScripture(
      u"The Lord is my shepherd; I shall lack nothing. He makes me lie down in green "
      u"pastures. He leads me beside still waters.");

  EXPECT_TRUE(IsWindowVisible(app_->bubbleWindow));
  RECT shown{};
  GetWindowRect(app_->bubbleWindow, &shown);
  EXPECT_EQ(shown.left, app_->bubbleX);
  EXPECT_EQ(shown.top, app_->bubbleY);
  EXPECT_EQ(shown.right - shown.left, app_->bubbleSurface.width);
  EXPECT_EQ(shown.bottom - shown.top, app_->bubbleSurface.height);
  EXPECT_EQ(app_->bubbleSurface.width, 350);
  EXPECT_EQ(app_->bubbleSurface.height, app_->bubbleContentHeight);
  // Above the character, its tail pointing down at the figure's middle.
  EXPECT_EQ(app_->bubbleY + app_->bubbleSurface.height, app_->positionY + 22);
  const int32_t tipX = app_->positionX + 140 - app_->bubbleX;
  EXPECT_EQ(PixelAt(app_->bubbleSurface, tipX, app_->bubbleSurface.height - 8).alpha, 255);
  EXPECT_EQ(PixelAt(app_->bubbleSurface, tipX + 40, app_->bubbleSurface.height - 8).alpha, 0);
  EXPECT_EQ(PixelAt(app_->bubbleSurface, 10, 40).red, 255);
  testing::SaveSurfacePng(app_->bubbleSurface, L"bubble-window.png");
}

TEST_F(BubbleWindow, FollowsAtHalfScale) {
  app_->characterScale = 0.5f;
  app_->fitScale = 0.5f;
  app_->positionX = 600;
  app_->positionY = 500;
  ShowScripture(u"Jesus wept.");
  EXPECT_EQ(app_->bubbleSurface.width, 175);
  EXPECT_EQ(app_->bubbleSurface.height, 42);
  EXPECT_FLOAT_EQ(app_->bubbleScale, 0.5f);
}

TEST_F(BubbleWindow, CloseHidesWithoutDestroying) {
  app_->gapSeconds = 300;
  ShowScripture(u"Rejoice always.");
  app_->requestPending = true;
  const uint64_t before = GetTickCount64();
  SendMessageW(app_->bubbleWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(app_->bubbleWindow));
  EXPECT_FALSE(IsWindowVisible(app_->bubbleWindow));
  EXPECT_FALSE(app_->bubbleVisible);
  EXPECT_FALSE(app_->requestPending);
  EXPECT_GE(app_->nextScriptureTick, before + 300000);
  EXPECT_LE(app_->nextScriptureTick, GetTickCount64() + 300000);
  EXPECT_GE(app_->idleActionTick, before + 60000);
  EXPECT_LE(app_->idleActionTick, GetTickCount64() + 120000);
}

TEST_F(BubbleWindow, HidingWithTheGapOffSchedulesNothing) {
  app_->gapSeconds = 0;
  app_->nextScriptureTick = 12345;
  HideBubble(*app_);  // also when no bubble is up
  EXPECT_EQ(app_->nextScriptureTick, 0u);
}

TEST_F(BubbleWindow, HidingTheSupportMessageResetsTheCount) {
  app_->scripturesViewed = 50;
  ShowScripture(u"Rejoice always.");
  HideBubble(*app_);
  EXPECT_FALSE(testing::FileExists(app_->preferencesPath));  // a Scripture bubble: no save

  app_->supportPromptShown = true;
  app_->bubbleVisible = true;
  HideBubble(*app_);
  EXPECT_EQ(app_->scripturesViewed, 0);
  EXPECT_NE(PreferencesFile().find("ScripturesViewed=0\r\n"), std::string::npos);
  EXPECT_FALSE(app_->supportPromptShown);
}

TEST_F(BubbleWindow, MouseActivationIsRefused) {
  EXPECT_EQ(SendMessageW(app_->bubbleWindow, WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
}

TEST_F(BubbleWindow, ClickWithoutAReferenceOpensNothing) {
  testing::MessageBoxWatcher watcher;
  app_->currentReference.clear();
  EXPECT_EQ(SendMessageW(app_->bubbleWindow, WM_LBUTTONUP, 0, 0), 0);
  Sleep(200);
  EXPECT_TRUE(watcher.Texts().empty());
}

TEST(OpenUrl, FailureTellsTheUserWhereToGo) {
  testing::MessageBoxWatcher watcher;
  OpenUrl(nullptr, u"no-such-scheme-scrollwick:nothing");
  const std::vector<std::wstring> texts = watcher.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], L"Windows could not open your browser. Please visit scrollwick.org.");
}

}  // namespace
}  // namespace companion
