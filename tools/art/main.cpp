// scrollwick_art <output-dir>: draws the figure's ten atlases, the icon and a contact sheet.
// scrollwick_art --site-figure <file.png>: draws the web site's picture of the companion.
#include <cairo.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "clips.h"
#include "icon.h"
#include "png_file.h"

namespace {

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using ContextPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

SurfacePtr NewSurface(int width, int height) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height),
                     &cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot allocate a cairo surface");
  }
  return surface;
}

void DrawFrameAt(cairo_t* cr, int clip, int frame, double x, double y) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rectangle(cr, 0, 0, art::kFrameWidth, art::kFrameHeight);
  cairo_clip(cr);
  art::DrawFigure(cr, art::kClips[clip].figure, art::ClipPose(clip, frame));
  cairo_restore(cr);
}

void WriteAtlas(const std::filesystem::path& dir, int clip) {
  const art::ClipInfo& info = art::kClips[clip];
  const int rows = (info.frames + art::kColumns - 1) / art::kColumns;
  SurfacePtr surface = NewSurface(art::kColumns * art::kFrameWidth, rows * art::kFrameHeight);
  ContextPtr cr(cairo_create(surface.get()), &cairo_destroy);
  for (int f = 0; f < info.frames; ++f) {
    DrawFrameAt(cr.get(), clip, f, (f % art::kColumns) * art::kFrameWidth,
                (f / art::kColumns) * art::kFrameHeight);
  }
  const std::string name = "atlas-" + std::to_string(info.resourceId) + ".png";
  art::WriteFileBytes((dir / name).string(),
                      art::EncodePng(art::StraightRgbaFromSurface(surface.get())));
}

// One row per clip, eight frames spread evenly from the first to the last, on a checkerboard so
// the transparent background and the anti-aliased edges can be judged.
void WriteContactSheet(const std::filesystem::path& dir) {
  constexpr int kGap = 4;
  const int width = art::kColumns * (art::kFrameWidth + kGap) + kGap;
  const int height = static_cast<int>(art::kClips.size()) * (art::kFrameHeight + kGap) + kGap;
  SurfacePtr surface = NewSurface(width, height);
  ContextPtr cr(cairo_create(surface.get()), &cairo_destroy);
  cairo_set_source_rgb(cr.get(), 0.55, 0.58, 0.62);
  cairo_paint(cr.get());
  for (int clip = 0; clip < static_cast<int>(art::kClips.size()); ++clip) {
    const int frames = art::kClips[clip].frames;
    for (int column = 0; column < art::kColumns; ++column) {
      const double x = kGap + column * (art::kFrameWidth + kGap);
      const double y = kGap + clip * (art::kFrameHeight + kGap);
      for (int cy = 0; cy < art::kFrameHeight; cy += 10) {
        for (int cx = 0; cx < art::kFrameWidth; cx += 10) {
          const bool dark = ((cx + cy) / 10) % 2 == 1;
          cairo_set_source_rgb(cr.get(), dark ? 0.80 : 0.90, dark ? 0.83 : 0.92,
                               dark ? 0.86 : 0.94);
          cairo_rectangle(cr.get(), x + cx, y + cy, 10, 10);
          cairo_fill(cr.get());
        }
      }
      DrawFrameAt(cr.get(), clip, column * (frames - 1) / (art::kColumns - 1), x, y);
    }
  }
  art::WriteFileBytes((dir / "contact-sheet.png").string(),
                      art::EncodePng(art::StraightRgbaFromSurface(surface.get())));
}

// The drawn part of an image (alpha above zero) with `margin` pixels around it, within the image.
art::RgbaImage CropToDrawing(const art::RgbaImage& image, int margin) {
  int left = image.width, top = image.height, right = -1, bottom = -1;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4 + 3] == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) throw std::runtime_error("the figure drew nothing");
  left = std::max(0, left - margin);
  top = std::max(0, top - margin);
  right = std::min(image.width - 1, right + margin);
  bottom = std::min(image.height - 1, bottom + margin);
  art::RgbaImage cropped{right - left + 1, bottom - top + 1, {}};
  for (int y = top; y <= bottom; ++y) {
    const auto row =
        image.pixels.begin() + (static_cast<std::ptrdiff_t>(y) * image.width + left) * 4;
    cropped.pixels.insert(cropped.pixels.end(), row, row + cropped.width * 4);
  }
  return cropped;
}

// The web site's picture: the default figure, the lamb, in the resting pose that starts its clip,
// drawn at four times the frame size (shown at half that, sharp on high-density screens) and
// cropped to the figure.
void WriteSiteFigure(const std::filesystem::path& file) {
  constexpr int kLambClip = 9;
  constexpr int kScale = 4;
  SurfacePtr surface = NewSurface(art::kFrameWidth * kScale, art::kFrameHeight * kScale);
  ContextPtr cr(cairo_create(surface.get()), &cairo_destroy);
  cairo_scale(cr.get(), kScale, kScale);
  DrawFrameAt(cr.get(), kLambClip, 0, 0, 0);
  std::filesystem::create_directories(file.parent_path());
  const art::RgbaImage figure = CropToDrawing(art::StraightRgbaFromSurface(surface.get()), 24);
  art::WriteFileBytes(file.string(), art::EncodePng(figure));
}

}  // namespace

int main(int argc, char** argv) {
  const bool siteFigure = argc == 3 && std::string(argv[1]) == "--site-figure";
  if (argc != 2 && !siteFigure) {
    std::fprintf(stderr, "usage: scrollwick_art <output-dir> | --site-figure <file.png>\n");
    return 2;
  }
  try {
    if (siteFigure) {
      WriteSiteFigure(argv[2]);
      return 0;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    for (int clip = 0; clip < static_cast<int>(art::kClips.size()); ++clip)
      WriteAtlas(dir, clip);
    art::WriteFileBytes((dir / "companion.ico").string(), art::BuildIcon());
    WriteContactSheet(dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "scrollwick_art: %s\n", e.what());
    return 1;
  }
  return 0;
}
