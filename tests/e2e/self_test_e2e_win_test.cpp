// The real program's --self-test: its exit code and the PNG files it leaves behind.
#include "tests/e2e/companion_process_win.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace companion::e2e {
namespace {

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

Picture LoadPicture(const std::wstring& path) {
  Picture picture;
  Gdiplus::Bitmap bitmap(path.c_str());
  if (bitmap.GetLastStatus() != Gdiplus::Ok) return picture;
  picture.width = bitmap.GetWidth();
  picture.height = bitmap.GetHeight();
  Gdiplus::Rect all(0, 0, INT(picture.width), INT(picture.height));
  Gdiplus::BitmapData data{};
  bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data);
  picture.argb.resize(size_t(picture.width) * picture.height);
  for (UINT y = 0; y < picture.height; ++y) {
    const auto* row = static_cast<const uint32_t*>(data.Scan0) + size_t(y) * (data.Stride / 4);
    std::copy(row, row + picture.width, picture.argb.begin() + size_t(y) * picture.width);
  }
  bitmap.UnlockBits(&data);
  return picture;
}

class SelfTestRun : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    folder_ =
        std::wstring(base) + L"scrollwick-self-test-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const auto& name : Files())
      DeleteFileW((folder_ + L"\\" + name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  static std::vector<std::wstring> Files() {
    std::vector<std::wstring> names;
    for (int n = 0; n <= 8; ++n)
      names.push_back(L"character-clip-" + std::to_wstring(n) + L".png");
    names.insert(names.end(),
                 {L"younger-native.png", L"character-idle.png", L"scripture-bubble.png"});
    return names;
  }
  Picture Load(const std::wstring& name) { return LoadPicture(folder_ + L"\\" + name); }
  FILETIME WriteTime(const std::wstring& name) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW((folder_ + L"\\" + name).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
  }

  std::wstring folder_;
};

TEST_F(SelfTestRun, PassesAndWritesTwelvePictures) {
  ASSERT_EQ(RunCompanionToExit(L"--self-test", 120000, folder_), 0);
  std::map<std::wstring, Picture> pictures;
  for (const auto& name : Files()) {
    pictures[name] = Load(name);
    ASSERT_GT(pictures[name].width, 0u)
        << "missing or unreadable: " << std::string(name.begin(), name.end());
  }
  for (const auto& [name, picture] : pictures) {
    const std::string label(name.begin(), name.end());
    if (name == L"scripture-bubble.png") {
      EXPECT_EQ(picture.width, 350u);
      EXPECT_GE(picture.height, 85u);
      EXPECT_LE(picture.height, 420u);
      EXPECT_EQ(picture.Alpha(0, 0), 0) << label;
      EXPECT_GT(picture.Visible(), 350 * 40) << label;  // a white body with text
      continue;
    }
    EXPECT_EQ(picture.width, 280u) << label;
    EXPECT_EQ(picture.height, 190u) << label;
    EXPECT_EQ(picture.Alpha(0, 0), 0) << label;
    EXPECT_GE(picture.Visible(), 200) << label;
    if (name == L"younger-native.png") {
      EXPECT_EQ(picture.Alpha(279, 189), 0) << label;
    } else {
      EXPECT_EQ(picture.Alpha(279, 0), 0) << label;
    }
  }
  // Each clip's middle frame is a picture of its own.
  for (int a = 0; a <= 8; ++a) {
    for (int b = a + 1; b <= 8; ++b) {
      EXPECT_NE(pictures[L"character-clip-" + std::to_wstring(a) + L".png"].argb,
                pictures[L"character-clip-" + std::to_wstring(b) + L".png"].argb)
          << a << " and " << b;
    }
  }
}

TEST_F(SelfTestRun, SecondRunReplacesTheFiles) {
  ASSERT_EQ(RunCompanionToExit(L"--self-test", 120000, folder_), 0);
  const FILETIME first = WriteTime(L"character-clip-4.png");
  Sleep(1100);
  ASSERT_EQ(RunCompanionToExit(L"--self-test", 120000, folder_), 0);
  const FILETIME second = WriteTime(L"character-clip-4.png");
  EXPECT_EQ(CompareFileTime(&second, &first), 1);
}

TEST_F(SelfTestRun, RunsBesideARunningCompanionWithoutDisturbingIt) {
  RemovePreferences();
  CompanionProcess running(L"");
  HWND window = WaitForCompanionWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(RunCompanionToExit(L"--self-test", 120000, folder_), 0);
  EXPECT_TRUE(running.Running());
  EXPECT_EQ(FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion"), window);
  EXPECT_TRUE(IsWindowVisible(window));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(running.WaitForExit(), 0);
}

}  // namespace
}  // namespace companion::e2e
