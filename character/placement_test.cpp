#include "character/placement.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace companion {

namespace {

std::pair<int32_t, int32_t> XY(ScreenPoint p) {
  return {p.x, p.y};
}

constexpr ScreenRect kMonitor{0, 0, 1920, 1080};
constexpr ScreenRect kWork{0, 0, 1920, 1040};

// A placement on the 1920 x 1080 monitor with a 40-pixel taskbar, forced unless changed below.
PlacementInputs OnTaskbar() {
  return {.monitor = kMonitor, .work = kWork, .changed = true};
}

TEST(PlaceOnMonitor, SizeMultipleOneToThreeAtNinetySixDpiOnTheTaskbar) {
  // {size multiple, width, height, gap above the work area's bottom}
  const int32_t kCases[][4] = {{0, 105, 71, 3}, {2, 210, 142, 6}, {4, 315, 213, 9}};
  for (const auto& [multiple, width, height, gap] : kCases) {
    PlacementInputs in = OnTaskbar();
    in.sizeMultiple = multiple;
    const Placement p = PlaceOnMonitor(in);
    EXPECT_EQ(p.width, width) << multiple;
    EXPECT_EQ(p.height, height) << multiple;
    EXPECT_EQ(kWork.bottom - (p.position.y + p.height), gap) << multiple;
    EXPECT_EQ(p.interim.y, 1040 - 190 - 8) << "the scale before the placement";
  }
}

TEST(PlaceOnMonitor, ScalesFollowDpiAndShrinkToSmallWorkAreas) {
  EXPECT_FLOAT_EQ(FitScale(2.0f, kWork), 1024.0f / 570.0f);
  EXPECT_FLOAT_EQ(FitScale(1.0f, {0, 0, 20, 20}), 0.1f);
  EXPECT_FLOAT_EQ(CharacterScaleFor(1.5f, 3, kWork), 1.6875f);
  EXPECT_FLOAT_EQ(CharacterScaleFor(0.1f, 1, {0, 0, 10, 10}), 0.01f);
}

int32_t TaskbarX(ScreenRect work, bool changed, int32_t storedX) {
  return PlaceOnMonitor({.monitor = kMonitor,
                         .work = work,
                         .changed = changed,
                         .position = {storedX, 7},
                         .characterScale = 0.375f})
      .position.x;
}

// The margins are an eighth of the work area's width, from 12 to 150 pixels.
TEST(PlaceOnMonitor, TaskbarPositionStartsAtAThirdAndStaysInsideTheMargins) {
  EXPECT_EQ(TaskbarX(kWork, true, 5), 640);
  EXPECT_EQ(TaskbarX({0, 0, 800, 1040}, false, 20), 100);  // an eighth of the width
  EXPECT_EQ(TaskbarX(kWork, false, 1900), 1920 - 105 - 150);
  EXPECT_EQ(TaskbarX({0, 0, 100, 1040}, false, 60), 12);  // narrower than the figure
}

// A new DPI or a new size while free: at the taskbar's right end (x = 1665 at 96 DPI), 144 DPI
// used to throw the figure to 1350 by clamping with the new DPI before the new size was known.
TEST(PlaceOnMonitor, ChangeOfScaleKeepsTheBottomCentreClampedOnlyAsTheNewSizeNeeds) {
  const struct {
    bool free;
    ScreenPoint from;
    float dpiScale;
    ScreenPoint to;
  } kCases[] = {
      {false, {1665, 966}, 1.5f, {1613, 930}},  // 1639 wanted, the margin allows 1613
      {false, {974, 930}, 1.0f, {1000, 966}},
      {true, {1800, 1009}, 1.5f, {1763, 974}},  // 1774 wanted; the monitor, not the work area
  };
  for (const auto& c : kCases) {
    PlacementInputs in = OnTaskbar();
    in.changed = false;
    in.freePlacement = c.free;
    in.position = c.from;
    in.characterScale = c.dpiScale == 1.0f ? 0.5625f : 0.375f;
    in.dpiScale = c.dpiScale;
    in.keepBottomCentre = true;
    EXPECT_EQ(XY(PlaceOnMonitor(in).position), XY(c.to)) << c.from.x << "," << c.from.y;
  }
  // -46.2 and -62.7: toward zero, not down.
  EXPECT_EQ(XY(FreeSizeShift(1.0f, 1.33f)), std::pair(-46, -62));
}

TEST(ClampToMonitor, StopsAtTheEdgesOfAMonitorAwayFromTheOriginAndTopLeftWhenTooSmall) {
  const ScreenRect second{1920, 0, 3840, 1080};
  EXPECT_EQ(XY(ClampToMonitor({0, -400}, second, 315, 213)), std::pair(1920, 0));
  EXPECT_EQ(XY(ClampToMonitor({50, 50}, {0, 0, 100, 100}, 315, 213)), std::pair(0, 0));
}

TEST(ChooseMonitor, NamedThenPrimaryThenFirst) {
  const std::vector<MonitorChoice> monitors = {
      {u"\\\\.\\DISPLAY2", false}, {u"\\\\.\\DISPLAY1", true}, {u"\\\\.\\DISPLAY3", false}};
  EXPECT_EQ(ChooseMonitor(monitors, u"\\\\.\\DISPLAY3"), 2u);
  // Only an exact, case-sensitive match counts; otherwise the primary.
  EXPECT_EQ(ChooseMonitor(monitors, u"\\\\.\\DISPLAY30"), 1u);
  EXPECT_EQ(ChooseMonitor(monitors, u"\\\\.\\display3"), 1u);
  EXPECT_EQ(ChooseMonitor({}, u"A"), 0u);
}

TEST(BeyondDragThreshold, EitherAxisAtTheSystemDistance) {
  EXPECT_FALSE(BeyondDragThreshold({100, 100}, {103, 97}, 4, 4));
  EXPECT_TRUE(BeyondDragThreshold({100, 100}, {100, 96}, 4, 4));
}

TEST(FullScreen, OnlyAWindowCoveringTheWholeMonitorCounts) {
  EXPECT_TRUE(CoversMonitor({-8, -8, 1928, 1088}, kMonitor));
  EXPECT_FALSE(CoversMonitor({0, 0, 1920, 1040}, kMonitor)) << "maximised above the taskbar";
  EXPECT_TRUE(IsShellWindowClass(u"WorkerW"));
  EXPECT_FALSE(IsShellWindowClass(u"progman"));
}

}  // namespace
}  // namespace companion
