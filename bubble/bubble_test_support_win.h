#pragma once
// Shared setup for the Windows-tier bubble and Scripture tests, and reading back what the bubble
// drew.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "base/companion_app_win.h"
#include "base/desktop_surface_win.h"
#include "tests/temp_folder_win.h"

namespace companion::testing {

struct Pixel {
  uint8_t blue, green, red, alpha;
};

Pixel PixelAt(const DesktopSurface& surface, int32_t x, int32_t y);

// A companion record with preferences in a temporary folder, a plain owner window and a real
// bubble window on the bubble's own procedure, published as the running companion.
class CompanionWithBubble : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  TempFolder temp_;
  std::unique_ptr<CompanionApp> app_;
};

}  // namespace companion::testing
