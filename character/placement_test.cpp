#include "character/placement.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace companion {
namespace {

constexpr auto XY = [](ScreenPoint p) { return std::pair(p.x, p.y); };

constexpr ScreenRect kMonitor{0, 0, 1920, 1080};
constexpr ScreenRect kWork{0, 0, 1920, 1040};

TEST(PlaceOnMonitor, SizeMultipleOneToThreeAtNinetySixDpiOnTheTaskbar) {
  const int32_t kCases[][4] = {{0, 105, 71, 3}, {2, 210, 142, 6}, {4, 315, 213, 9}};
  for (const auto& [multiple, width, height, gap] : kCases) {
    const Placement p = PlaceOnMonitor({kMonitor, kWork, true, false, {}, 1.0f, 1.0f, multiple});
    EXPECT_EQ(std::tuple(p.width, p.height, kWork.bottom - p.position.y - p.height),
              std::tuple(width, height, gap));
    EXPECT_EQ(p.interim.y, 1040 - 190 - 8) << "the scale before the placement";
  }
}

TEST(PlaceOnMonitor, ScalesShrinkAndPositionsClampToSmallAreas) {
  EXPECT_FLOAT_EQ(FitScale(2.0f, kWork), 1024.0f / 570.0f);
  EXPECT_FLOAT_EQ(FitScale(1.0f, {0, 0, 20, 20}), 0.1f);
  EXPECT_FLOAT_EQ(CharacterScaleFor(0.1f, 1, {0, 0, 10, 10}), 0.01f);
  EXPECT_EQ(XY(ClampToMonitor({0, -400}, {1920, 0, 3840, 1080}, 315, 213)), std::pair(1920, 0));
  EXPECT_EQ(XY(ClampToMonitor({50, 50}, {0, 0, 100, 100}, 315, 213)), std::pair(0, 0));
}

// A forced placement starts at a third; the margins are an eighth of the width, from 12 to 150.
TEST(PlaceOnMonitor, TaskbarPositionStartsAtAThirdAndStaysInsideTheMargins) {
  const std::tuple<int32_t, bool, int32_t, int32_t> kCases[] = {
      {1920, true, 5, 640}, {800, false, 20, 100}, {1920, false, 1900, 1665}, {100, false, 60, 12}};
  for (const auto& [w, changed, at, x] : kCases)
    EXPECT_EQ(PlaceOnMonitor({kMonitor, {0, 0, w, 1040}, changed, false, {at}, 0.375f}).position.x,
              x);
}

// A new DPI or a new size while free: at the taskbar's right end (x = 1665 at 96 DPI), 144 DPI
// used to throw the figure to 1350 by clamping with the new DPI before the new size was known.
TEST(PlaceOnMonitor, ChangeOfScaleKeepsTheBottomCentreClampedOnlyAsTheNewSizeNeeds) {
  const std::tuple<bool, ScreenPoint, float, float, std::pair<int32_t, int32_t>> kCases[] = {
      {false, {1665, 966}, 0.375f, 1.5f, {1613, 930}},  // 1639 wanted, the margin allows 1613
      {false, {974, 930}, 0.5625f, 1.0f, {1000, 966}},
      {true, {1800, 1009}, 0.375f, 1.5f, {1763, 974}},  // 1774 wanted; the monitor's edge
  };
  for (const auto& [free, at, s, dpi, to] : kCases)
    EXPECT_EQ(XY(PlaceOnMonitor({kMonitor, kWork, false, free, at, s, dpi, 1, true}).position), to);
  EXPECT_EQ(XY(FreeSizeShift(1.0f, 1.33f)), std::pair(-46, -62)) << "-46.2 and -62.7 toward zero";
}

TEST(ChooseMonitor, NamedThenPrimaryThenFirst) {
  const std::vector<MonitorChoice> monitors = {
      {u"\\\\.\\DISPLAY2", false}, {u"\\\\.\\DISPLAY1", true}, {u"\\\\.\\DISPLAY3", false}};
  EXPECT_EQ(ChooseMonitor(monitors, u"\\\\.\\DISPLAY3"), 2u);
  EXPECT_EQ(ChooseMonitor(monitors, u"\\\\.\\DISPLAY30"), 1u);
  EXPECT_EQ(ChooseMonitor(monitors, u"\\\\.\\display3"), 1u);
  EXPECT_EQ(ChooseMonitor({}, u"A"), 0u);
}

TEST(SystemChecks, DragAtTheSystemDistanceFullScreenOverTheWholeMonitorShellByExactClass) {
  EXPECT_FALSE(BeyondDragThreshold({100, 100}, {103, 97}, 4, 4));
  EXPECT_TRUE(BeyondDragThreshold({100, 100}, {100, 96}, 4, 4));
  EXPECT_TRUE(CoversMonitor({-8, -8, 1928, 1088}, kMonitor));
  EXPECT_FALSE(CoversMonitor({0, 0, 1920, 1040}, kMonitor)) << "maximised above the taskbar";
  EXPECT_TRUE(IsShellWindowClass(u"WorkerW"));
  EXPECT_FALSE(IsShellWindowClass(u"progman"));
}

}  // namespace
}  // namespace companion
