#include "selftest/png_file_win.h"

#include <windows.h>
#include <gdiplus.h>

#include <cwchar>
#include <vector>

#include "base/wide_win.h"
#include "base/desktop_surface_win.h"

namespace companion {

bool SavePngFile(const DesktopSurface& surface, const std::u16string& path) {
  UINT count = 0;
  UINT bytes = 0;
  if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) {
    return false;
  }
  std::vector<BYTE> buffer(bytes, 0);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
    return false;

  Gdiplus::Bitmap bitmap(surface.width, surface.height, surface.width * 4, PixelFormat32bppPARGB,
                         surface.pixels);
  for (UINT i = 0; i < count; ++i) {
    if (std::wcscmp(encoders[i].MimeType, L"image/png") == 0) {
      return bitmap.Save(AsWide(path), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
    }
  }
  return false;
}

}  // namespace companion
