// The real program's --self-test: its exit code and the PNG files it leaves behind.
#include "tests/e2e/companion_process_win.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace companion::e2e {
namespace {

namespace fs = std::filesystem;

struct Picture {
  UINT width = 0;
  UINT height = 0;
  std::vector<uint32_t> argb;  // row-major
  uint8_t Alpha(UINT x, UINT y) const { return uint8_t(argb[size_t(y) * width + x] >> 24); }
  int Visible() const {
    int count = 0;
    for (uint32_t p : argb)
      count += (p >> 24) >= 33;
    return count;
  }
};

Picture LoadPicture(const fs::path& path) {
  Picture picture;
  Gdiplus::Bitmap bitmap(path.c_str());
  if (bitmap.GetLastStatus() != Gdiplus::Ok) return picture;
  picture.width = bitmap.GetWidth();
  picture.height = bitmap.GetHeight();
  picture.argb.resize(size_t(picture.width) * picture.height);
  // Decoded straight into the picture's own rows.
  Gdiplus::Rect all(0, 0, INT(picture.width), INT(picture.height));
  Gdiplus::BitmapData data{picture.width,        picture.height,      INT(picture.width * 4),
                           PixelFormat32bppARGB, picture.argb.data(), 0};
  bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                  PixelFormat32bppARGB, &data);
  bitmap.UnlockBits(&data);
  return picture;
}

class SelfTestRun : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(folder_); }
  void TearDown() override { fs::remove_all(folder_); }
  int RunSelfTest() { return RunCompanionToExit(L"--self-test", 120000, folder_.wstring()); }

  const fs::path folder_ = fs::temp_directory_path() /
                           (L"scrollwick-self-test-" + std::to_wstring(GetCurrentProcessId()));
};

TEST_F(SelfTestRun, PassesAndWritesTwelvePictures) {
  ASSERT_EQ(RunSelfTest(), 0);
  std::vector<std::wstring> names{L"younger-native.png", L"character-idle.png",
                                  L"scripture-bubble.png"};
  for (int n = 0; n <= 8; ++n)
    names.push_back(L"character-clip-" + std::to_wstring(n) + L".png");
  std::set<std::vector<uint32_t>> clips;
  for (const auto& name : names) {
    const std::string label(name.begin(), name.end());
    const Picture picture = LoadPicture(folder_ / name);
    ASSERT_GT(picture.width, 0u) << "missing or unreadable: " << label;
    EXPECT_EQ(picture.Alpha(0, 0), 0) << label;
    if (name == L"scripture-bubble.png") {
      EXPECT_EQ(picture.width, 350u);
      EXPECT_GE(picture.height, 85u);
      EXPECT_LE(picture.height, 420u);
      EXPECT_GT(picture.Visible(), 350 * 40) << label;  // a white body with text
      continue;
    }
    EXPECT_EQ(picture.width, 280u) << label;
    EXPECT_EQ(picture.height, 190u) << label;
    EXPECT_GE(picture.Visible(), 200) << label;
    // The lamb's empty corners are top-left and bottom-right, the full figure's both top ones.
    if (name == L"younger-native.png") {
      EXPECT_EQ(picture.Alpha(279, 189), 0) << label;
    } else {
      EXPECT_EQ(picture.Alpha(279, 0), 0) << label;
    }
    if (name.starts_with(L"character-clip-")) clips.insert(picture.argb);
  }
  EXPECT_EQ(clips.size(), 9u) << "each clip's middle frame is a picture of its own";
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
  EXPECT_TRUE(IsWindowVisible(window));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(running.WaitForExit(), 0);
}

}  // namespace
}  // namespace companion::e2e
