#pragma once
// The Scripture bubble's arithmetic: where the bubble window goes beside the character and how
// large, the shape drawn in bubble units, the height rule for a measured text, the hint text and
// the passage page link. No Windows call inside; the _win files gather the inputs and apply the
// results.
#include <cstdint>
#include <string>
#include <string_view>

namespace companion {

// The bubble is laid out 350 units wide; one unit is one pixel at scale 1.0.
inline constexpr int32_t kBubbleUnitsWide = 350;
inline constexpr int32_t kMinBubbleHeight = 85;
// The content height of a bubble not yet measured, and the bubble window's first height.
inline constexpr int32_t kDefaultBubbleContentHeight = 260;
inline constexpr float kTextBoxWidth = 310.0f;
inline constexpr float kMeasureBoxHeight = 1000.0f;

inline constexpr char16_t kSupportMessage[] =
    u"Your prayers and support are warmly appreciated. If you would like to offer financial "
    u"support, click this speech bubble. Thank you for helping keep Scrollwick freely available.";

struct BubbleInputs {
  // Work area of the character's display, in screen pixels.
  int32_t workLeft = 0;
  int32_t workTop = 0;
  int32_t workRight = 0;
  int32_t workBottom = 0;
  float characterScale = 1.0f;  // s
  float fitScale = 1.0f;        // D
  int32_t positionX = 0;        // the character window's top-left corner
  int32_t positionY = 0;
  int32_t sinkOffset = 0;     // how far the character is drawn below its resting place
  int32_t contentHeight = 0;  // H, bubble units
};

struct BubblePlacement {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 1;
  int32_t height = 1;
  float scale = 1.0f;
  bool tailAtTop = false;  // the bubble stands below the character
  float tailX = 0.0f;      // x of the tail's tip, bubble units
};

// Above the character when it fits there, else below; scaled down to the room on that side
// and the work area's width, kept 8 pixels inside the work area, tail aimed at the figure.
BubblePlacement PlaceBubble(const BubbleInputs& in);

struct BubbleRect {
  float x, y, width, height;
};

// The drawn shape for a bubble of `height` units, in bubble units.
struct BubbleShape {
  float bodyTop;
  float bodyBottom;
  float arcBottomY;  // top of the two lower corner arcs' boxes
  float tailBaseY;
  float tailTipY;
  float tailX;
  BubbleRect textBox;
};

BubbleShape ShapeBubble(int32_t height, float tailX, bool tailAtTop);

// Bubble height for a body whose laid-out text is `measuredHeight` units tall.
int32_t BubbleHeightForText(float measuredHeight);

// The hint beside the bubble: the reference and the translation's name, or the offline label,
// or the support prompt.
std::u16string BubbleHintText(bool supportPromptShown, bool offline, std::u16string_view reference,
                              std::u16string_view translationCode);

// The passage page for a reference on the web site. Characters outside the URL's unreserved set
// are percent-encoded as UTF-8 bytes, so an ASCII reference keeps one %XX per character and a
// non-ASCII one stays a valid link.
std::u16string BuildReferenceUrl(std::u16string_view reference,
                                 std::u16string_view translationCode);

}  // namespace companion
