#include "bubble/bubble_window_win.h"

#include <gtest/gtest.h>

#include "bubble/bubble_drawing_win.h"
#include "bubble/bubble_test_support_win.h"
#include "tests/message_box_watcher_win.h"

namespace companion {
namespace {

using testing::PixelAt;

class BubbleWindow : public testing::CompanionWithBubble {
 protected:
  void ShowScripture(const std::u16string& text) {
    app_->currentText = text;
    app_->currentReference = u"Psalms 23:1";
    app_->currentTranslation = u"web";
    app_->bubbleContentHeight = MeasureBubbleText(text);
    app_->bubbleVisible = true;
    RenderBubble(*app_);
  }
};

TEST_F(BubbleWindow, RenderedBesideTheCharacter) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  app_->positionX = work.left + 400;
  app_->positionY = work.bottom - 200;
  ShowScripture(
      u"The Lord is my shepherd; I shall lack nothing. He makes me lie down in green "
      u"pastures. He leads me beside still waters.");

  RECT shown{};
  GetWindowRect(app_->bubbleWindow, &shown);
  EXPECT_TRUE(IsWindowVisible(app_->bubbleWindow));
  EXPECT_EQ(shown.bottom, app_->positionY + 22);  // above the character
  EXPECT_EQ(shown.right - shown.left, 350);
  // The tail points down at the figure's middle.
  const int32_t tipX = app_->positionX + 140 - app_->bubbleX;
  EXPECT_EQ(PixelAt(app_->bubbleSurface, tipX, app_->bubbleSurface.height - 8).alpha, 255);
  EXPECT_EQ(PixelAt(app_->bubbleSurface, tipX + 40, app_->bubbleSurface.height - 8).alpha, 0);
}

TEST_F(BubbleWindow, HalfTheCharacterScaleHalvesTheBubble) {
  app_->characterScale = app_->fitScale = 0.5f;
  app_->positionX = 600;
  app_->positionY = 500;
  ShowScripture(u"Jesus wept.");
  EXPECT_EQ(app_->bubbleSurface.width, 175);
  EXPECT_EQ(app_->bubbleSurface.height, 42);
}

TEST_F(BubbleWindow, CloseHidesWithoutDestroying) {
  app_->gapSeconds = 300;
  ShowScripture(u"Rejoice always.");
  app_->requestPending = true;
  const uint64_t before = GetTickCount64();
  SendMessageW(app_->bubbleWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(app_->bubbleWindow));
  EXPECT_FALSE(IsWindowVisible(app_->bubbleWindow));
  EXPECT_FALSE(app_->requestPending);
  EXPECT_GE(app_->nextScriptureTick, before + 300000);
  EXPECT_LE(app_->nextScriptureTick, GetTickCount64() + 300000);
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
  EXPECT_NE(testing::ReadWholeFile(app_->preferencesPath).find("ScripturesViewed=0\r\n"),
            std::string::npos);
  EXPECT_FALSE(app_->supportPromptShown);
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
