#include "bubble/bubble_drawing_win.h"

#include <commctrl.h>

#include <cstddef>

#include "base/companion_app_win.h"
#include "base/wide_win.h"
#include "bubble/bubble_layout.h"

namespace companion {

namespace {

constexpr float kFontSize = 16.0f;
constexpr Gdiplus::ARGB kBodyColour = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kOutlineColour = 0xFF323539;
constexpr float kOutlineWidth = 1.6f;
constexpr Gdiplus::ARGB kTextColour = 0xFF202327;
constexpr float kLeftEdge = 2.0f;
constexpr float kRightArcX = 304.0f;
constexpr float kArcSize = 44.0f;
constexpr float kTailHalfWidth = 10.0f;

// Common controls version 5 accept the version-2 tool record.
constexpr UINT kToolInfoV2Size = offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM);
static_assert(kToolInfoV2Size == 64);

// Fetched once and kept for the process: GDI+ owns the generic families, they are never deleted.
const Gdiplus::FontFamily* GenericSerifFamily() {
  static const Gdiplus::FontFamily* const family = Gdiplus::FontFamily::GenericSerif();
  return family;
}

// "Georgia" where it is installed (Wine has none), else the generic serif family.
struct BubbleFontFamily {
  Gdiplus::FontFamily georgia{L"Georgia"};
  const Gdiplus::FontFamily* Family() const {
    return georgia.GetLastStatus() == Gdiplus::Ok && georgia.IsAvailable() ? &georgia
                                                                           : GenericSerifFamily();
  }
};

}  // namespace

int32_t MeasureBubbleText(const std::u16string& text) {
  Gdiplus::Bitmap bitmap(1, 1, PixelFormat32bppPARGB);
  Gdiplus::Graphics graphics(&bitmap);
  const BubbleFontFamily family;
  const Gdiplus::Font font(family.Family(), kFontSize, Gdiplus::FontStyleRegular,
                           Gdiplus::UnitPixel);
  const Gdiplus::StringFormat format;
  const Gdiplus::RectF box(0.0f, 0.0f, kTextBoxWidth, kMeasureBoxHeight);
  Gdiplus::RectF bounds;
  graphics.MeasureString(AsWide(text), -1, &font, box, &format, &bounds);
  return BubbleHeightForText(bounds.Height);
}

void DrawBubble(Gdiplus::Graphics& graphics, const std::u16string& body, int32_t height,
                float tailX, bool tailAtTop) {
  const BubbleShape shape = ShapeBubble(height, tailX, tailAtTop);

  // Declared in acquisition order, so they are deleted in the reverse.
  Gdiplus::GraphicsPath path;
  path.AddArc(kLeftEdge, shape.bodyTop, kArcSize, kArcSize, 180.0f, 90.0f);
  path.AddArc(kRightArcX, shape.bodyTop, kArcSize, kArcSize, 270.0f, 90.0f);
  path.AddArc(kRightArcX, shape.arcBottomY, kArcSize, kArcSize, 0.0f, 90.0f);
  path.AddArc(kLeftEdge, shape.arcBottomY, kArcSize, kArcSize, 90.0f, 90.0f);
  path.CloseFigure();
  const Gdiplus::SolidBrush white{Gdiplus::Color(kBodyColour)};
  graphics.FillPath(&white, &path);
  const Gdiplus::Pen outline(Gdiplus::Color(kOutlineColour), kOutlineWidth);
  graphics.DrawPath(&outline, &path);

  const Gdiplus::PointF tail[3] = {{tailX - kTailHalfWidth, shape.tailBaseY},
                                   {tailX, shape.tailTipY},
                                   {tailX + kTailHalfWidth, shape.tailBaseY}};
  graphics.FillPolygon(&white, tail, 3, Gdiplus::FillModeAlternate);
  // The base stays open: there the tail runs into the body.
  graphics.DrawLine(&outline, tail[0], tail[1]);
  graphics.DrawLine(&outline, tail[1], tail[2]);

  const BubbleFontFamily family;
  const Gdiplus::Font font(family.Family(), kFontSize, Gdiplus::FontStyleRegular,
                           Gdiplus::UnitPixel);
  const Gdiplus::SolidBrush textBrush{Gdiplus::Color(kTextColour)};
  Gdiplus::StringFormat format(0, LANG_NEUTRAL);
  format.SetTrimming(Gdiplus::StringTrimmingWord);
  const Gdiplus::RectF box(shape.textBox.x, shape.textBox.y, shape.textBox.width,
                           shape.textBox.height);
  graphics.DrawString(AsWide(body), -1, &font, box, &format, &textBrush);
}

void DrawSampleBubble(Gdiplus::Graphics& graphics, const std::u16string& text, int32_t height) {
  DrawBubble(graphics, text, height, float(kBubbleUnitsWide) / 2.0f, false);
}

void UpdateBubbleHint(CompanionApp& app) {
  if (!app.shell.hintWindow) return;
  app.bubble.hintText =
      BubbleHintText(app.bubble.supportPromptShown, app.scripture.currentOffline,
                     app.scripture.currentReference, app.scripture.currentTranslation);
  TTTOOLINFOW tool{};
  tool.cbSize = kToolInfoV2Size;
  tool.hwnd = app.shell.bubbleWindow;
  tool.uId = reinterpret_cast<UINT_PTR>(app.shell.bubbleWindow);
  tool.lpszText = AsWritableWide(app.bubble.hintText.data());
  SendMessageW(app.shell.hintWindow, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace companion
