#include "bubble/bubble_window_win.h"

#include "app/coordinator_win.h"

#include <gtest/gtest.h>

#include "bubble/bubble_drawing_win.h"
#include "character/character_art_win.h"
#include "tests/live_companion_win.h"
#include "tests/message_box_watcher_win.h"

namespace companion {
namespace {

struct BubbleWindow : ::testing::Test {
  testing::LiveCompanion live_;
  CompanionApp* app_ = &live_.app();
};

void ShowScripture(CompanionApp& app) {
  app.scripture.currentText = u"Rejoice always.";
  app.bubble.bubbleContentHeight = MeasureBubbleText(app.scripture.currentText);
  app.bubble.bubbleVisible = true;
  RenderBubble(app);
}

// The tail of a bubble above the resting figure ends at its head, for both figures and sizes.
TEST_F(BubbleWindow, TheTailMeetsTheHeadOfTheRestingFigure) {
  const auto opaqueRow = [](const DesktopSurface& surface, bool last) {
    for (int32_t row = 0; row < surface.height; ++row) {
      const int32_t y = last ? surface.height - 1 - row : row;
      for (int32_t x = 0; x < surface.width; ++x)
        if (testing::PixelAt(surface, x, y).alpha >= 128) return y;
    }
    return -1;
  };
  for (const auto& [younger, scale] : {std::pair{false, 0.375f}, std::pair{true, 1.125f}}) {
    app_->placement.characterScale = scale;
    SetYounger(app_->figure.characterArt, younger);
    DesktopSurface figure;
    ResizeSurface(figure, int32_t(280 * scale), int32_t(190 * scale));
    DrawClipFrame(app_->figure.characterArt, figure, scale, 0);
    ShowScripture(*app_);
    EXPECT_NEAR(app_->bubble.bubbleY + opaqueRow(app_->bubble.bubbleSurface, true),
                app_->preferences.positionY + opaqueRow(figure, false), 8);
  }
}

// Closing hides but keeps the window; only hiding the support message saves, its count reset.
TEST_F(BubbleWindow, CloseHidesAndHidingTheSupportMessageResetsTheCount) {
  const std::u16string& path = app_->preferences.preferencesPath;
  app_->preferences.gapSeconds = 300;
  app_->preferences.scripturesViewed = 50;
  ShowScripture(*app_);
  app_->scripture.requestPending = true;
  const uint64_t before = GetTickCount64();
  SendMessageW(app_->shell.bubbleWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(app_->shell.bubbleWindow) && !IsWindowVisible(app_->shell.bubbleWindow) &&
              !app_->scripture.requestPending);
  EXPECT_GE(app_->scripture.nextScriptureTick, before + 300000);
  EXPECT_FALSE(testing::FileExists(path));

  PrepareSupportBubble(*app_);
  HideBubble(*app_);
  EXPECT_TRUE(app_->preferences.scripturesViewed == 0 && !app_->bubble.supportPromptShown);
  EXPECT_NE(testing::ReadWholeFile(path).find("ScripturesViewed=0\r\n"), std::string::npos);
}

TEST(OpenUrl, FailureTellsTheUserWhereToGo) {
  testing::MessageBoxWatcher watcher;
  OpenUrl(nullptr, u"no-such-scheme-scrollwick:nothing");
  EXPECT_EQ(watcher.Texts(),
            std::vector<std::wstring>{
                L"Windows could not open your browser. Please visit scrollwick.org."});
}

}  // namespace
}  // namespace companion
