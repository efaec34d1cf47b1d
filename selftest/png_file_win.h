#pragma once
#include <string>

namespace companion {

struct DesktopSurface;

// Writes the surface's premultiplied pixels as a PNG file, replacing an existing one. True when a
// PNG encoder was found and the save succeeded.
bool SavePngFile(const DesktopSurface& surface, const std::u16string& path);

}  // namespace companion
