#include "character/placement.h"

#include <algorithm>
#include <cstdlib>

#include "character/clips.h"

namespace companion {

namespace {

constexpr float kWidth = float(kFrameWidth);
constexpr float kHeight = float(kFrameHeight);
// The figure's window bottom stands this many frame pixels above the work area's bottom.
constexpr float kStandAboveTaskbar = 8.0f;
// Room the figure and its bubble need, in unscaled pixels, before the DPI scale is reduced.
constexpr float kFitWidth = 480.0f;
constexpr float kFitHeight = 570.0f;
constexpr int32_t kFitInset = 16;
constexpr float kBaseSize = 0.375f;
constexpr float kMinFitScale = 0.1f;
constexpr float kMinCharacterScale = 0.01f;

int32_t TaskbarTop(const ScreenRect& work, float scale) {
  return work.bottom - static_cast<int32_t>(kStandAboveTaskbar * scale) - CharacterHeight(scale);
}

// Distance the figure keeps from the work area's sides on the taskbar.
int32_t PlacementMargin(int32_t workWidth) {
  return std::clamp(workWidth / 8, 12, 150);
}

}  // namespace

int32_t CharacterWidth(float characterScale) {
  return static_cast<int32_t>(kWidth * characterScale);
}

int32_t CharacterHeight(float characterScale) {
  return static_cast<int32_t>(kHeight * characterScale);
}

float FitScale(float dpiScale, const ScreenRect& work) {
  const float width = float(work.right - work.left - kFitInset) / kFitWidth;
  const float height = float(work.bottom - work.top - kFitInset) / kFitHeight;
  return std::max(std::min({dpiScale, width, height}), kMinFitScale);
}

float CharacterScaleFor(float fitScale, int32_t sizeMultiple, const ScreenRect& work) {
  const float size = float(std::clamp(sizeMultiple, 1, 3));
  const float width = float(std::max(work.right - work.left - kFitInset, 1)) / kWidth;
  const float height = float(std::max(work.bottom - work.top - kFitInset, 1)) / kHeight;
  return std::max(std::min({fitScale * kBaseSize * size, width, height}), kMinCharacterScale);
}

Span TaskbarSpan(const ScreenRect& work, int32_t margin, int32_t width) {
  const int32_t low = work.left + margin;
  return {low, std::max(low, work.right - width - margin)};
}

ScreenPoint ClampToMonitor(ScreenPoint position, const ScreenRect& monitor, int32_t width,
                           int32_t height) {
  return {std::clamp(position.x, monitor.left, std::max(monitor.left, monitor.right - width)),
          std::clamp(position.y, monitor.top, std::max(monitor.top, monitor.bottom - height))};
}

Placement PlaceOnMonitor(const PlacementInputs& in) {
  Placement out;
  const int32_t workWidth = in.work.right - in.work.left;
  out.margin = PlacementMargin(workWidth);
  ScreenPoint position = in.position;
  if (in.changed && !in.freePlacement) position.x = in.work.left + workWidth / 3;
  if (!in.freePlacement) {
    const Span span = TaskbarSpan(in.work, out.margin, CharacterWidth(in.characterScale));
    position.x = std::clamp(position.x, span.low, span.high);
    position.y = TaskbarTop(in.work, in.characterScale);
  }
  out.interim = position;

  out.fitScale = FitScale(in.dpiScale, in.work);
  out.characterScale = CharacterScaleFor(out.fitScale, in.sizeMultiple, in.work);
  out.width = CharacterWidth(out.characterScale);
  out.height = CharacterHeight(out.characterScale);
  if (in.keepBottomCentre) {
    // From the position at the old size: clamped with the new size first, a figure at the right
    // end of the taskbar would be thrown left by the whole growth.
    const ScreenPoint shift = FreeSizeShift(in.characterScale, out.characterScale);
    position.x += shift.x;
    position.y += shift.y;
  }
  if (in.freePlacement) {
    position = ClampToMonitor(position, in.monitor, out.width, out.height);
  } else {
    const Span span = TaskbarSpan(in.work, out.margin, out.width);
    position.x = std::clamp(position.x, span.low, span.high);
    position.y = TaskbarTop(in.work, out.characterScale);
  }
  out.position = position;
  return out;
}

ScreenPoint FreeSizeShift(float oldScale, float newScale) {
  return {static_cast<int32_t>((oldScale - newScale) * (kWidth / 2)),
          static_cast<int32_t>((oldScale - newScale) * kHeight)};
}

size_t ChooseMonitor(std::span<const MonitorChoice> monitors, std::u16string_view device) {
  for (size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].device == device) return i;
  }
  for (size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].primary) return i;
  }
  return monitors.empty() ? monitors.size() : 0;
}

bool BeyondDragThreshold(ScreenPoint start, ScreenPoint pointer, int32_t dragWidth,
                         int32_t dragHeight) {
  return !(std::abs(pointer.x - start.x) < dragWidth && std::abs(pointer.y - start.y) < dragHeight);
}

bool IsShellWindowClass(std::u16string_view className) {
  return className == u"Progman" || className == u"WorkerW" || className == u"Shell_TrayWnd";
}

bool CoversMonitor(const ScreenRect& window, const ScreenRect& monitor) {
  return window.left <= monitor.left && window.top <= monitor.top &&
         window.right >= monitor.right && window.bottom >= monitor.bottom;
}

}  // namespace companion
