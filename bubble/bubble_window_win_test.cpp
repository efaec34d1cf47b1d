#include "bubble/bubble_window_win.h"

#include "app/coordinator_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "bubble/bubble_drawing_win.h"
#include "bubble/bubble_test_support_win.h"
#include "character/character_art_win.h"
#include "character/motion.h"
#include "character/presentation_win.h"
#include "tests/message_box_watcher_win.h"

namespace companion {
namespace {

using testing::PixelAt;

class BubbleWindow : public testing::CompanionWithBubble {
 protected:
  void ShowScripture(const std::u16string& text) {
    app_->scripture.currentText = text;
    app_->scripture.currentReference = u"Psalms 23:1";
    app_->scripture.currentTranslation = u"web";
    app_->bubble.bubbleContentHeight = MeasureBubbleText(text);
    app_->bubble.bubbleVisible = true;
    RenderBubble(*app_);
  }
};

// The figure fills its frame so that the tail of a bubble above it ends at the top of the resting
// figure's head, at every size and for both figures.
TEST_F(BubbleWindow, TheTailMeetsTheHeadOfTheRestingFigure) {
  const auto opaqueRows = [](const DesktopSurface& surface) {
    std::pair<int32_t, int32_t> rows{surface.height, -1};
    for (int32_t y = 0; y < surface.height; ++y) {
      for (int32_t x = 0; x < surface.width; ++x) {
        if (PixelAt(surface, x, y).alpha < 128) continue;
        rows = {std::min(rows.first, y), y};
      }
    }
    return rows;
  };
  for (const bool younger : {false, true}) {
    for (const float scale : {0.375f, 1.125f}) {
      app_->placement.characterScale = scale;
      app_->placement.fitScale = 1.0f;
      SetYounger(app_->figure.characterArt, younger);
      EnsureClip(app_->figure.characterArt, kIdleClip);
      DesktopSurface figure;
      ResizeSurface(figure, int32_t(280 * scale), int32_t(190 * scale));
      DrawScaledFrame(app_->figure.characterArt, figure, scale, 0);
      ShowScripture(u"Rejoice always.");
      const int32_t headTop = app_->preferences.positionY + opaqueRows(figure).first;
      const int32_t tailTip = app_->bubble.bubbleY + opaqueRows(app_->bubble.bubbleSurface).second;
      EXPECT_LE(std::abs(headTop - tailTip), 8)
          << "younger " << younger << ", scale " << scale << ": head top " << headTop
          << ", tail tip " << tailTip;
    }
  }
}

TEST_F(BubbleWindow, CloseHidesWithoutDestroying) {
  app_->preferences.gapSeconds = 300;
  ShowScripture(u"Rejoice always.");
  app_->scripture.requestPending = true;
  const uint64_t before = GetTickCount64();
  SendMessageW(app_->shell.bubbleWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(app_->shell.bubbleWindow));
  EXPECT_FALSE(IsWindowVisible(app_->shell.bubbleWindow));
  EXPECT_FALSE(app_->scripture.requestPending);
  EXPECT_GE(app_->scripture.nextScriptureTick, before + 300000);
}

TEST_F(BubbleWindow, HidingTheSupportMessageResetsTheCount) {
  app_->preferences.scripturesViewed = 50;
  ShowScripture(u"Rejoice always.");
  HideBubble(*app_);
  EXPECT_FALSE(
      testing::FileExists(app_->preferences.preferencesPath));  // a Scripture bubble: no save

  app_->bubble.supportPromptShown = true;
  app_->bubble.bubbleVisible = true;
  HideBubble(*app_);
  EXPECT_EQ(app_->preferences.scripturesViewed, 0);
  EXPECT_NE(
      testing::ReadWholeFile(app_->preferences.preferencesPath).find("ScripturesViewed=0\r\n"),
      std::string::npos);
  EXPECT_FALSE(app_->bubble.supportPromptShown);
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
