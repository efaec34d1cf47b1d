// The real program's --self-test: its exit code and the PNG files it leaves behind.
#include "tests/e2e/companion_process_win.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace companion::e2e {
namespace {

namespace fs = std::filesystem;

class SelfTestRun : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(folder_); }
  void TearDown() override { fs::remove_all(folder_); }
  int RunSelfTest() { return RunCompanionToExit(L"--self-test", 120000, folder_.wstring()); }

  const fs::path folder_ = fs::temp_directory_path() /
                           (L"scrollwick-self-test-" + std::to_wstring(GetCurrentProcessId()));
};

// Each picture keeps its transparency (a clear top-left corner, some opaque pixels), and each
// clip's middle frame is a picture of its own.
TEST_F(SelfTestRun, PassesAndWritesTwelvePictures) {
  ASSERT_EQ(RunSelfTest(), 0);
  std::vector<std::wstring> names{L"younger-native.png", L"character-idle.png",
                                  L"scripture-bubble.png"};
  for (int n = 0; n <= 8; ++n)
    names.push_back(L"character-clip-" + std::to_wstring(n) + L".png");
  std::set<std::vector<uint32_t>> clips;
  for (const std::wstring& name : names) {
    const std::string label(name.begin(), name.end());
    Gdiplus::Bitmap bitmap((folder_ / name).c_str());
    ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok) << "missing or unreadable: " << label;
    const UINT width = bitmap.GetWidth(), height = bitmap.GetHeight();
    EXPECT_EQ(width, name == L"scripture-bubble.png" ? 350u : 280u) << label;
    EXPECT_TRUE(name == L"scripture-bubble.png" || height == 190u) << label;
    std::vector<uint32_t> argb(size_t(width) * height);
    Gdiplus::Rect all(0, 0, INT(width), INT(height));
    Gdiplus::BitmapData data{width, height, INT(width * 4), PixelFormat32bppARGB, argb.data(), 0};
    bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                    PixelFormat32bppARGB, &data);
    bitmap.UnlockBits(&data);
    int visible = 0;
    for (uint32_t p : argb)
      visible += (p >> 24) >= 33;
    EXPECT_EQ(argb[0] >> 24, 0u) << label;
    EXPECT_GE(visible, 200) << label;
    if (name.starts_with(L"character-clip-")) clips.insert(argb);
  }
  EXPECT_EQ(clips.size(), 9u);
}

TEST_F(SelfTestRun, SecondRunBesideARunningCompanionReplacesTheFilesAndLeavesItAlone) {
  ASSERT_EQ(RunSelfTest(), 0);
  const fs::path clip = folder_ / L"character-clip-4.png";
  const fs::file_time_type first = fs::last_write_time(clip);
  RemovePreferences();
  CompanionProcess running(L"");
  HWND window = WaitForCompanionWindow();
  ASSERT_NE(window, nullptr);
  Sleep(1100);  // a later write time even on a coarse file-time clock
  EXPECT_EQ(RunSelfTest(), 0);
  EXPECT_GT(fs::last_write_time(clip), first);
  EXPECT_TRUE(running.Running());
  EXPECT_EQ(FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion"), window);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(running.WaitForExit(), 0);
}

}  // namespace
}  // namespace companion::e2e
