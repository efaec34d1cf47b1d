// The real program's --self-test: its exit code and the PNG files it leaves behind.
#include "tests/e2e/companion_process_win.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace companion::e2e {
namespace {

namespace fs = std::filesystem;

struct SelfTestRun : ::testing::Test {
  void SetUp() override { fs::create_directory(folder_); }
  void TearDown() override { fs::remove_all(folder_); }

  const fs::path folder_ = fs::temp_directory_path() / L"scrollwick-self-test";  // serial runs
};

// Pictures keep transparency, clips differ; a second run beside a companion replaces them only.
TEST_F(SelfTestRun, WritesTwelvePicturesAndASecondRunBesideACompanionReplacesThem) {
  ASSERT_EQ(RunCompanionToExit(L"--self-test", 120000, folder_.wstring()), 0);
  std::vector<std::wstring> names{L"younger-native", L"character-idle", L"scripture-bubble"};
  for (int n = 0; n <= 8; ++n)
    names.push_back(L"character-clip-" + std::to_wstring(n));
  std::set<std::vector<uint32_t>> clips;
  for (const std::wstring& name : names) {
    SCOPED_TRACE(name);
    Gdiplus::Bitmap bitmap((folder_ / (name + L".png")).c_str());
    ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok) << "missing or unreadable";
    const UINT width = bitmap.GetWidth(), height = bitmap.GetHeight();
    EXPECT_TRUE(name == L"scripture-bubble" ? width == 350 : width == 280 && height == 190);
    std::vector<uint32_t> argb(size_t(width) * height);
    Gdiplus::BitmapData data{width, height, INT(width * 4), PixelFormat32bppARGB, argb.data(), 0};
    bitmap.LockBits(nullptr, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                    PixelFormat32bppARGB, &data);
    bitmap.UnlockBits(&data);
    EXPECT_EQ(argb[0] >> 24, 0u);
    EXPECT_GE(std::ranges::count_if(argb, [](uint32_t p) { return p >> 24 >= 33; }), 200);
    if (name.starts_with(L"character-clip-")) clips.insert(argb);
  }
  EXPECT_EQ(clips.size(), 9u);

  const auto first = fs::last_write_time(folder_ / L"character-clip-4.png");
  CompanionProcess running(L"");
  HWND window = WaitForCompanionWindow();
  Sleep(1100);  // a later write time even on a coarse file-time clock
  EXPECT_EQ(RunCompanionToExit(L"--self-test", 120000, folder_.wstring()), 0);
  EXPECT_GT(fs::last_write_time(folder_ / L"character-clip-4.png"), first);
  EXPECT_TRUE(window && running.Running() && WaitForCompanionWindow(0) == window);
}

}  // namespace
}  // namespace companion::e2e
