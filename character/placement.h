#pragma once
// Where the figure stands and how large it is drawn: the monitor choice, margins, scales, the
// taskbar and free positions, drag clamping and the full-screen test. Portable.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace companion {

// The DPI at which one frame pixel is one screen pixel (scale 1.0).
inline constexpr float kBaseDpi = 96.0f;

struct ScreenRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct ScreenPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// Window size for a scale, each side truncated toward zero.
int32_t CharacterWidth(float characterScale);
int32_t CharacterHeight(float characterScale);

// The DPI scale limited by the work area; also sizes the bubble.
float FitScale(float dpiScale, const ScreenRect& work);
// Frame pixels to screen pixels for the size preference (clamped to 1..3).
float CharacterScaleFor(float fitScale, int32_t sizeMultiple, const ScreenRect& work);

// Left edges allowed on the taskbar: the margin on both sides, collapsing to the left one when
// the work area is narrower than the figure.
struct Span {
  int32_t low = 0;
  int32_t high = 0;
};
Span TaskbarSpan(const ScreenRect& work, int32_t margin, int32_t width);

// A freely placed figure stays whole inside the monitor rectangle (the taskbar area included).
ScreenPoint ClampToMonitor(ScreenPoint position, const ScreenRect& monitor, int32_t width,
                           int32_t height);

struct PlacementInputs {
  ScreenRect monitor;
  ScreenRect work;
  bool changed = false;  // another monitor, or a forced placement
  bool freePlacement = false;
  ScreenPoint position{};       // the stored resting position
  float characterScale = 1.0f;  // before this placement
  float dpiScale = 1.0f;
  int32_t sizeMultiple = 1;
  // The scale changes under the figure (a new DPI, a new size while free): it keeps its bottom
  // centre, on the taskbar its place along it, and moves only as far as the new size needs.
  bool keepBottomCentre = false;
};

struct Placement {
  // Where the window is moved (and kept topmost) before the scale is recomputed; the resting
  // position reaches the screen with the next render.
  ScreenPoint interim;
  ScreenPoint position;  // the resting position with the new scale
  float fitScale = 1.0f;
  float characterScale = 1.0f;
  int32_t width = 0;
  int32_t height = 0;
  int32_t margin = 0;
};

Placement PlaceOnMonitor(const PlacementInputs& in);

// A change of scale moves the figure's top-left corner by this much, so that it keeps its bottom
// centre: the scale difference times half the frame's width and its height.
ScreenPoint FreeSizeShift(float oldScale, float newScale);

struct MonitorChoice {
  std::u16string_view device;
  bool primary = false;
};
// The monitor named by the preference, else the primary one, else the first; `count` when empty.
size_t ChooseMonitor(std::span<const MonitorChoice> monitors, std::u16string_view device);

// A press becomes a drag once the pointer leaves the system's drag rectangle on either axis.
bool BeyondDragThreshold(ScreenPoint start, ScreenPoint pointer, int32_t dragWidth,
                         int32_t dragHeight);

// Windows of the desktop and the taskbar never count as full screen.
bool IsShellWindowClass(std::u16string_view className);
bool CoversMonitor(const ScreenRect& window, const ScreenRect& monitor);

}  // namespace companion
