#include "bubble/bubble_drawing_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <memory>

#include "app/companion_app_win.h"
#include "bubble/bubble_layout.h"
#include "bubble/bubble_test_support_win.h"
#include "character/presentation_win.h"

namespace companion {
namespace {

using testing::Pixel;
using testing::PixelAt;

std::u16string Words(int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i)
    text += u"Blessed are the merciful, for they shall obtain mercy. ";
  return text;
}

TEST(MeasureBubbleText, ShortBodiesGetTheMinimumHeight) {
  EXPECT_EQ(MeasureBubbleText(u""), 85);
  EXPECT_EQ(MeasureBubbleText(u"Jesus wept."), 85);
}

TEST(MeasureBubbleText, GrowsWithTheTextUpToTheMeasuringBox) {
  const int32_t three = MeasureBubbleText(Words(3));
  const int32_t six = MeasureBubbleText(Words(6));
  EXPECT_GT(three, 85);
  EXPECT_GT(six, three);
  const int32_t huge = MeasureBubbleText(Words(400));
  EXPECT_GT(huge, 900);
  EXPECT_LE(huge, 1060);
}

class DrawnBubble : public ::testing::Test {
 protected:
  // Draws at scale 1 into a 350 x height surface, as the bubble window does.
  void Draw(const std::u16string& body, int32_t height, float tailX, bool tailAtTop) {
    ResizeSurface(surface_, kBubbleUnitsWide, height);
    std::memset(surface_.pixels, 0, size_t(surface_.width) * size_t(height) * 4);
    Gdiplus::Bitmap bitmap(surface_.width, height, surface_.width * 4, PixelFormat32bppPARGB,
                           surface_.pixels);
    Gdiplus::Graphics graphics(&bitmap);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    DrawBubble(graphics, body, height, tailX, tailAtTop);
    graphics.Flush(Gdiplus::FlushIntentionSync);
  }
  bool IsWhite(int32_t x, int32_t y) {
    const Pixel p = PixelAt(surface_, x, y);
    return p.alpha == 255 && p.red == 255 && p.green == 255 && p.blue == 255;
  }
  bool IsTransparent(int32_t x, int32_t y) { return PixelAt(surface_, x, y).alpha == 0; }
  // The outline is a 1.6-unit pen, so across an edge some pixel carries its dark colour.
  bool OutlineAcross(int32_t x0, int32_t x1, int32_t y) {
    for (int32_t x = x0; x <= x1; ++x) {
      const Pixel p = PixelAt(surface_, x, y);
      if (p.alpha > 200 && p.red < 120 && p.green < 120 && p.blue < 120) return true;
    }
    return false;
  }
  bool OutlineDown(int32_t x, int32_t y0, int32_t y1) {
    for (int32_t y = y0; y <= y1; ++y) {
      if (OutlineAcross(x, x, y)) return true;
    }
    return false;
  }

  DesktopSurface surface_;
};

TEST_F(DrawnBubble, BodyOutlineTailAndClearOutside) {
  Draw(u"The Lord is my shepherd; I shall lack nothing.", 120, 100.0f, false);
  // Body from y 2 to 104, tail base at 103, tip at 118.
  EXPECT_TRUE(IsWhite(10, 60));
  EXPECT_TRUE(IsWhite(340, 60));
  EXPECT_TRUE(OutlineAcross(0, 4, 60));
  EXPECT_TRUE(OutlineAcross(346, 349, 60));
  EXPECT_TRUE(OutlineDown(175, 0, 4));
  EXPECT_TRUE(OutlineDown(175, 102, 106));
  EXPECT_TRUE(IsWhite(100, 108));  // inside the tail, below the body
  EXPECT_TRUE(IsTransparent(250, 112));
  EXPECT_TRUE(IsTransparent(0, 0));
  EXPECT_TRUE(IsTransparent(349, 0));
  EXPECT_TRUE(IsTransparent(349, 119));
  EXPECT_TRUE(IsTransparent(0, 119));
  // The base of the tail is not outlined: white runs on into the tail.
  EXPECT_TRUE(IsWhite(100, 103));
  testing::SaveSurfacePng(surface_, L"bubble-drawn-below.png");
}

TEST_F(DrawnBubble, TailAtTopPointsUp) {
  Draw(u"Rejoice always.", 85, 300.0f, true);
  // Body from y 16 to 83, tail base at 17, tip at 2.
  EXPECT_TRUE(IsWhite(300, 10));
  EXPECT_TRUE(IsTransparent(100, 8));
  EXPECT_TRUE(IsTransparent(300, 84));
  EXPECT_TRUE(OutlineDown(175, 14, 18));
  EXPECT_TRUE(IsWhite(10, 50));
  testing::SaveSurfacePng(surface_, L"bubble-drawn-above.png");
}

TEST_F(DrawnBubble, TextIsDrawnInsideTheTextBox) {
  Draw(Words(1), 100, 175.0f, false);
  int dark = 0;
  for (int32_t y = 20; y < 55; ++y) {
    for (int32_t x = 20; x < 330; ++x) {
      const Pixel p = PixelAt(surface_, x, y);
      if (p.red < 128) ++dark;
    }
  }
  EXPECT_GT(dark, 50);
  // Nothing of the text left of the box.
  for (int32_t y = 20; y < 55; ++y)
    EXPECT_TRUE(IsWhite(15, y)) << y;
}

class BubbleHint : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<CompanionApp>();
    app_->bubbleWindow = CreateWindowExW(0, L"STATIC", L"Scripture", WS_POPUP, 0, 0, 350, 120,
                                         nullptr, nullptr, nullptr, nullptr);
    app_->hintWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       app_->bubbleWindow, nullptr, nullptr, nullptr);
    ASSERT_NE(app_->hintWindow, nullptr);
    wchar_t text[] = L"Scripture";
    TTTOOLINFOW tool = Tool();
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(app_->hintWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
  }
  void TearDown() override { DestroyWindow(app_->bubbleWindow); }
  TTTOOLINFOW Tool() {
    TTTOOLINFOW tool{};
    tool.cbSize = 64;
    tool.hwnd = app_->bubbleWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(app_->bubbleWindow);
    return tool;
  }
  std::wstring ShownHint() {
    wchar_t buffer[512] = {};
    TTTOOLINFOW tool = Tool();
    tool.lpszText = buffer;
    SendMessageW(app_->hintWindow, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    return buffer;
  }

  std::unique_ptr<CompanionApp> app_;
};

TEST_F(BubbleHint, FollowsTheContent) {
  struct Case {
    bool support;
    bool offline;
    const char16_t* reference;
    const char16_t* code;
    const wchar_t* hint;
  };
  const Case kCases[] = {
      {false, false, u"John 3:16", u"kjv", L"John 3:16 \u00B7 King James Version"},
      {false, true, u"Psalms 23:1", u"web", L"Psalms 23:1 \u00B7 WEB (offline backup)"},
      {true, false, u"John 3:16", u"kjv", L"Click for optional financial support"},
  };
  for (const Case& c : kCases) {
    app_->supportPromptShown = c.support;
    app_->currentOffline = c.offline;
    app_->currentReference = c.reference;
    app_->currentTranslation = c.code;
    UpdateBubbleHint(*app_);
    EXPECT_EQ(ShownHint(), c.hint);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(app_->hintText.c_str())), c.hint);
  }
}

TEST_F(BubbleHint, NoHintWindowNoChange) {
  app_->currentReference = u"John 3:16";
  HWND hint = app_->hintWindow;
  app_->hintWindow = nullptr;
  UpdateBubbleHint(*app_);
  EXPECT_TRUE(app_->hintText.empty());
  app_->hintWindow = hint;
  EXPECT_EQ(ShownHint(), L"Scripture");
}

}  // namespace
}  // namespace companion
