#include "character/placement.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace companion {

static bool operator==(const ScreenPoint& a, const ScreenPoint& b) {
  return a.x == b.x && a.y == b.y;
}
static void PrintTo(const ScreenPoint& p, std::ostream* os) {
  *os << "(" << p.x << ", " << p.y << ")";
}

namespace {

constexpr ScreenRect kMonitor{0, 0, 1920, 1080};
constexpr ScreenRect kWork{0, 0, 1920, 1040};

// A placement on the 1920 x 1080 monitor with a 40-pixel taskbar, forced unless changed below.
PlacementInputs OnTaskbar() {
  return {.monitor = kMonitor, .work = kWork, .changed = true};
}

TEST(PlacementMargin, AnEighthOfTheWidthBetweenTwelveAndOneFifty) {
  const int32_t kCases[][2] = {{1000, 125}, {96, 12}, {104, 13}, {1207, 150}, {-80, 12}};
  for (const auto& c : kCases)
    EXPECT_EQ(PlacementMargin(c[0]), c[1]) << c[0];
}

TEST(PlaceOnMonitor, SizesAtNinetySixDpiOnTheTaskbar) {
  struct Case {
    int32_t sizeMultiple;
    float scale;
    int32_t width, height, gapAboveWork;
  };
  const Case kCases[] = {{1, 0.375f, 105, 71, 3},
                         {2, 0.75f, 210, 142, 6},
                         {3, 1.125f, 315, 213, 9},
                         {0, 0.375f, 105, 71, 3},
                         {7, 1.125f, 315, 213, 9}};
  for (const auto& c : kCases) {
    PlacementInputs in = OnTaskbar();
    in.sizeMultiple = c.sizeMultiple;
    const Placement p = PlaceOnMonitor(in);
    EXPECT_FLOAT_EQ(p.characterScale, c.scale) << c.sizeMultiple;
    EXPECT_EQ(p.width, c.width) << c.sizeMultiple;
    EXPECT_EQ(p.height, c.height) << c.sizeMultiple;
    EXPECT_EQ(kWork.bottom - (p.position.y + p.height), c.gapAboveWork) << c.sizeMultiple;
  }
}

TEST(PlaceOnMonitor, ScalesFollowDpiAndShrinkToSmallWorkAreas) {
  struct Case {
    ScreenRect work;
    float dpiScale;
    int32_t sizeMultiple;
    float fit, scale;
  };
  const Case kCases[] = {
      {kWork, 1.0f, 1, 1.0f, 0.375f},
      {kWork, 1.5f, 1, 1.5f, 0.5625f},
      {kWork, 2.0f, 3, 1024.0f / 570.0f, 1024.0f / 570.0f * 1.125f},
      {{0, 0, 800, 300}, 1.0f, 3, 284.0f / 570.0f, 284.0f / 570.0f * 1.125f},
      {{0, 0, 20, 20}, 1.0f, 1, 0.1f, 4.0f / 280.0f},
      {{0, 0, 10, 10}, 1.0f, 1, 0.1f, 0.01f},
  };
  for (const auto& c : kCases) {
    const Placement p = PlaceOnMonitor({.monitor = c.work,
                                        .work = c.work,
                                        .dpiScale = c.dpiScale,
                                        .sizeMultiple = c.sizeMultiple});
    EXPECT_FLOAT_EQ(p.fitScale, c.fit) << c.work.right << "x" << c.work.bottom;
    EXPECT_FLOAT_EQ(p.characterScale, c.scale) << c.work.right << "x" << c.work.bottom;
  }
}

TEST(PlaceOnMonitor, TaskbarPositionStartsAtAThirdAndStaysInsideTheMargins) {
  struct Case {
    const char* name;
    ScreenRect work;
    bool changed;
    int32_t storedX;
    int32_t x;
  };
  const Case kCases[] = {
      {"forced: a third of the width", kWork, true, 5, 640},
      {"second monitor: a third from its left", {1920, 0, 3840, 1040}, true, 5, 2560},
      {"unchanged keeps its place", kWork, false, 900, 900},
      {"unchanged, left of the margin", kWork, false, 20, 150},
      {"unchanged, past the right margin", kWork, false, 1900, 1920 - 105 - 150},
      {"work area narrower than the figure", {0, 0, 100, 1040}, false, 60, 12},
  };
  for (const auto& c : kCases) {
    const Placement p = PlaceOnMonitor({.monitor = kMonitor,
                                        .work = c.work,
                                        .changed = c.changed,
                                        .position = {c.storedX, 7},
                                        .characterScale = 0.375f});
    EXPECT_EQ(p.position.x, c.x) << c.name;
    EXPECT_EQ(p.interim.x, c.x) << c.name;
  }
}

TEST(PlaceOnMonitor, InterimPositionUsesTheScaleBeforeThePlacement) {
  PlacementInputs in = OnTaskbar();
  in.position = {1800, 0};
  const Placement p = PlaceOnMonitor(in);
  EXPECT_EQ(p.interim.y, 1040 - 190 - 8);
  EXPECT_EQ(p.position.y, 1040 - 71 - 3);
}

TEST(PlaceOnMonitor, FreePlacementKeepsThePositionInsideTheMonitorNotTheWorkArea) {
  const ScreenPoint kCases[][2] = {
      {{700, 300}, {700, 300}}, {{1900, 1070}, {1815, 1009}}, {{1815, 1050}, {1815, 1009}}};
  for (const auto& [stored, placed] : kCases) {
    PlacementInputs in = OnTaskbar();
    in.freePlacement = true;
    in.position = stored;
    EXPECT_EQ(PlaceOnMonitor(in).position, placed);
  }
}

// The size command in free placement: a first placement at the new size, the shift, a second.
TEST(FreeSizeShift, KeepsTheBottomCentreWithinAPixel) {
  for (int32_t from = 1; from <= 3; ++from) {
    for (int32_t to = 1; to <= 3; ++to) {
      PlacementInputs in = OnTaskbar();
      in.freePlacement = true;
      in.position = {800, 500};
      in.sizeMultiple = from;
      const Placement before = PlaceOnMonitor(in);
      in.position = before.position;
      in.characterScale = before.characterScale;
      in.sizeMultiple = to;
      const Placement first = PlaceOnMonitor(in);
      const ScreenPoint shift = FreeSizeShift(before.characterScale, first.characterScale);
      in.position = {first.position.x + shift.x, first.position.y + shift.y};
      in.characterScale = first.characterScale;
      const Placement after = PlaceOnMonitor(in);
      EXPECT_NEAR(after.position.x + after.width / 2.0, before.position.x + before.width / 2.0, 1)
          << from << "->" << to;
      EXPECT_NEAR(after.position.y + after.height, before.position.y + before.height, 1)
          << from << "->" << to;
    }
  }
}

TEST(FreeSizeShift, GrowingMovesUpAndLeftShrinkingDownAndRightTruncatedTowardZero) {
  EXPECT_EQ(FreeSizeShift(1.0f, 2.0f), (ScreenPoint{-140, -190}));
  EXPECT_EQ(FreeSizeShift(1.5f, 1.0f), (ScreenPoint{70, 95}));
  // -46.2 and -62.7: toward zero, not down.
  EXPECT_EQ(FreeSizeShift(1.0f, 1.33f), (ScreenPoint{-46, -62}));
}

TEST(ClampToMonitor, StopsAtTheEdgesOfAMonitorAwayFromTheOriginAndTopLeftWhenTooSmall) {
  const ScreenRect second{1920, 0, 3840, 1080};
  EXPECT_EQ(ClampToMonitor({5000, 5000}, second, 315, 213), (ScreenPoint{3840 - 315, 1080 - 213}));
  EXPECT_EQ(ClampToMonitor({0, -400}, second, 315, 213), (ScreenPoint{1920, 0}));
  EXPECT_EQ(ClampToMonitor({50, 50}, {0, 0, 100, 100}, 315, 213), (ScreenPoint{0, 0}));
}

TEST(ChooseMonitor, NamedThenPrimaryThenFirst) {
  const std::vector<MonitorChoice> monitors = {
      {u"\\\\.\\DISPLAY2", false}, {u"\\\\.\\DISPLAY1", true}, {u"\\\\.\\DISPLAY3", false}};
  EXPECT_EQ(ChooseMonitor(monitors, u"\\\\.\\DISPLAY3"), 2u);
  EXPECT_EQ(ChooseMonitor(monitors, u"\\\\.\\DISPLAY2"), 0u);
  // Only an exact, case-sensitive match counts; otherwise the primary.
  for (auto device : {u"", u"\\\\.\\DISPLAY", u"\\\\.\\DISPLAY30", u"\\\\.\\display3"})
    EXPECT_EQ(ChooseMonitor(monitors, device), 1u);
  EXPECT_EQ(ChooseMonitor({{{u"A", false}, {u"B", false}}}, u"C"), 0u);
  EXPECT_EQ(ChooseMonitor({}, u"A"), 0u);
}

TEST(BeyondDragThreshold, EitherAxisAtTheSystemDistance) {
  EXPECT_FALSE(BeyondDragThreshold({100, 100}, {103, 103}, 4, 4));
  EXPECT_FALSE(BeyondDragThreshold({100, 100}, {97, 97}, 4, 4));
  EXPECT_TRUE(BeyondDragThreshold({100, 100}, {104, 100}, 4, 4));
  EXPECT_TRUE(BeyondDragThreshold({100, 100}, {100, 96}, 4, 4));
}

TEST(FullScreen, OnlyAWindowCoveringTheWholeMonitorCounts) {
  EXPECT_TRUE(CoversMonitor({-8, -8, 1928, 1088}, kMonitor));
  EXPECT_FALSE(CoversMonitor({0, 0, 1920, 1040}, kMonitor)) << "maximised above the taskbar";
  EXPECT_FALSE(CoversMonitor({1, 0, 1920, 1080}, kMonitor));
  EXPECT_TRUE(CoversMonitor({1900, 0, 3840, 1080}, {1920, 0, 3840, 1080}));

  for (auto name : {u"Progman", u"WorkerW", u"Shell_TrayWnd"})
    EXPECT_TRUE(IsShellWindowClass(name));
  for (auto name : {u"progman", u"Shell_SecondaryTrayWnd", u"", u"WorkerW "})
    EXPECT_FALSE(IsShellWindowClass(name));
}

}  // namespace
}  // namespace companion
