#include "bubble/bubble_test_support_win.h"

#include <gdiplus.h>

#include <vector>

namespace companion::testing {

namespace {

bool FindPngEncoder(CLSID& clsid) {
  UINT count = 0;
  UINT bytes = 0;
  Gdiplus::GetImageEncodersSize(&count, &bytes);
  std::vector<uint8_t> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (lstrcmpW(codecs[i].MimeType, L"image/png") == 0) {
      clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

void SaveSurfacePng(const DesktopSurface& surface, const std::wstring& path) {
  CLSID png;
  if (!FindPngEncoder(png)) return;
  Gdiplus::Bitmap bitmap(surface.width, surface.height, surface.width * 4, PixelFormat32bppPARGB,
                         surface.pixels);
  bitmap.Save(path.c_str(), &png, nullptr);
}

}  // namespace companion::testing
