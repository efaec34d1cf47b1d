#include "bubble/bubble_layout.h"

#include <algorithm>
#include <cmath>

#include "base/endpoints.h"
#include "scripture/catalogue.h"

namespace companion {

namespace {

constexpr int32_t kScreenMargin = 8;
// The character's frame is 280 x 190 units; the anchor is its middle, 22 units below its top.
constexpr float kAnchorX = 140.0f;
constexpr float kAnchorY = 22.0f;
constexpr float kFrameBottomBelowAnchor = 168.0f;
// The tail's tip stays between the body's two corner arcs.
constexpr float kTailMinX = 24.0f;
constexpr float kTailMaxX = 326.0f;

int32_t Trunc(float value) {
  return static_cast<int32_t>(value);
}

// A wanted coordinate kept in [low, max(low, high)]; when the range is empty the low bound wins.
int32_t ClampToWorkArea(int32_t wanted, int32_t low, int32_t high) {
  const int32_t upper = std::max(low, high);
  if (wanted > upper) return upper;
  return std::max(wanted, low);
}

void AppendUtf8Escaped(std::u16string& out, uint32_t codePoint) {
  uint8_t bytes[4];
  int count;
  if (codePoint < 0x80) {
    bytes[0] = static_cast<uint8_t>(codePoint);
    count = 1;
  } else if (codePoint < 0x800) {
    bytes[0] = static_cast<uint8_t>(0xC0 | (codePoint >> 6));
    bytes[1] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
    count = 2;
  } else if (codePoint < 0x10000) {
    bytes[0] = static_cast<uint8_t>(0xE0 | (codePoint >> 12));
    bytes[1] = static_cast<uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
    bytes[2] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
    count = 3;
  } else {
    bytes[0] = static_cast<uint8_t>(0xF0 | (codePoint >> 18));
    bytes[1] = static_cast<uint8_t>(0x80 | ((codePoint >> 12) & 0x3F));
    bytes[2] = static_cast<uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
    bytes[3] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
    count = 4;
  }
  constexpr char16_t kHex[] = u"0123456789ABCDEF";
  for (int i = 0; i < count; ++i) {
    out += u'%';
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 0xF];
  }
}

bool IsUnreserved(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') ||
         (unit >= u'0' && unit <= u'9') || unit == u'-' || unit == u'.' || unit == u'_' ||
         unit == u'~';
}

}  // namespace

BubblePlacement PlaceBubble(const BubbleInputs& in) {
  const float s = in.characterScale;
  const float fit = in.fitScale;
  // A height of 0 would divide by zero; content is never shorter than the minimum anyway.
  const int32_t contentHeight = std::max(1, in.contentHeight);
  const float h = static_cast<float>(contentHeight);

  const int32_t characterHeight = Trunc(s * kFrameBottomBelowAnchor);
  const int32_t anchorX = in.positionX + Trunc(s * kAnchorX);
  const int32_t anchorY = in.positionY + Trunc(s * kAnchorY) + in.sinkOffset;

  const int32_t availableWidth = std::max(1, (in.workRight - in.workLeft) - 16);
  const float halfWorkHeight = static_cast<float>(in.workBottom - in.workTop) * 0.5f;
  const float wanted = h * fit;
  const float capped = wanted <= halfWorkHeight ? wanted : halfWorkHeight;

  BubblePlacement out;
  out.tailAtTop = capped > static_cast<float>(anchorY - in.workTop);
  const int32_t room =
      out.tailAtTop ? in.workBottom - characterHeight - anchorY : anchorY - in.workTop;
  const int32_t availableHeight = std::max(1, room - kScreenMargin);

  float scale = fit;
  scale = std::min(scale, static_cast<float>(availableWidth) / float(kBubbleUnitsWide));
  scale = std::min(scale, static_cast<float>(availableHeight) / h);
  if (scale <= 0.01f) scale = 0.01f;
  out.scale = scale;

  out.width = std::max(1, Trunc(scale * float(kBubbleUnitsWide)));
  out.height = std::max(1, Trunc(h * scale));

  out.x = ClampToWorkArea(anchorX - out.width / 2, in.workLeft + kScreenMargin,
                          in.workRight - out.width - kScreenMargin);
  const int32_t wantedY = out.tailAtTop ? anchorY + characterHeight : anchorY - out.height;
  out.y = ClampToWorkArea(wantedY, in.workTop + kScreenMargin,
                          in.workBottom - out.height - kScreenMargin);

  const float tailX =
      (static_cast<float>(in.positionX) + s * kAnchorX - static_cast<float>(out.x)) / scale;
  out.tailX = std::clamp(tailX, kTailMinX, kTailMaxX);
  return out;
}

BubbleShape ShapeBubble(int32_t height, float tailX, bool tailAtTop) {
  const float h = static_cast<float>(height);
  const float top = tailAtTop ? 16.0f : 2.0f;
  BubbleShape shape;
  shape.bodyTop = top;
  shape.bodyBottom = top + h - 18.0f;
  shape.arcBottomY = shape.bodyBottom - 44.0f;
  // The tail's base lies one unit inside the body, so its white covers the body's outline.
  shape.tailBaseY = tailAtTop ? 17.0f : h - 17.0f;
  shape.tailTipY = tailAtTop ? 2.0f : h - 2.0f;
  shape.tailX = tailX;
  shape.textBox = tailAtTop ? BubbleRect{20.0f, 34.0f, kTextBoxWidth, h - 59.0f}
                            : BubbleRect{20.0f, 20.0f, kTextBoxWidth, h - 45.0f};
  return shape;
}

int32_t BubbleHeightForText(float measuredHeight) {
  if (!(measuredHeight > 0.0f)) return kMinBubbleHeight;
  const float bounded = std::min(measuredHeight, kMeasureBoxHeight);
  return std::max(static_cast<int32_t>(std::ceil(bounded)) + 60, kMinBubbleHeight);
}

std::u16string BubbleHintText(bool supportPromptShown, bool offline, std::u16string_view reference,
                              std::u16string_view translationCode) {
  if (supportPromptShown) return u"Click for optional financial support";
  std::u16string hint(reference);
  hint += u" \u00B7 ";
  if (offline) {
    hint += u"WEB (offline backup)";
    return hint;
  }
  for (const TranslationInfo& translation : TranslationTable) {
    if (translationCode == translation.code) {
      hint += translation.name;
      return hint;
    }
  }
  hint += translationCode;
  return hint;
}

std::u16string BuildReferenceUrl(std::u16string_view reference,
                                 std::u16string_view translationCode) {
  std::u16string url(kWebSiteUrl);
  url += kPassagePagePath;
  for (size_t i = 0; i < reference.size(); ++i) {
    const char16_t unit = reference[i];
    if (IsUnreserved(unit)) {
      url += unit;
      continue;
    }
    uint32_t codePoint = unit;
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high && i + 1 < reference.size() && reference[i + 1] >= 0xDC00 &&
        reference[i + 1] <= 0xDFFF) {
      codePoint = 0x10000 + ((uint32_t(unit) - 0xD800) << 10) + (reference[i + 1] - 0xDC00);
      ++i;
    } else if (high || low) {
      codePoint = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    AppendUtf8Escaped(url, codePoint);
  }
  url += u"&translation=";
  url += translationCode;
  return url;
}

}  // namespace companion
