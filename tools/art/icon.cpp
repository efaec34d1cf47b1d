#include "icon.h"

#include <cairo.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>

#include "png_file.h"

namespace art {
namespace {

constexpr double kPi = std::numbers::pi;

struct Colour {
  double r, g, b;
};
constexpr Colour kOutline{0.23, 0.18, 0.16};
constexpr Colour kWool{0.99, 0.97, 0.93};
constexpr Colour kWoolShade{0.80, 0.75, 0.66};
constexpr Colour kFace{0.35, 0.27, 0.25};
constexpr Colour kFaceLight{0.50, 0.40, 0.36};
constexpr Colour kEarInner{0.91, 0.64, 0.63};

void Set(cairo_t* cr, Colour c) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void Ellipse(cairo_t* cr, double x, double y, double rx, double ry, double angle = 0) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
}

// Fills the current path with a top-left lit gradient when the icon is large enough for shading
// to read, flat otherwise.
void Shade(cairo_t* cr, bool shaded, Colour light, Colour base, double x, double y, double r) {
  if (!shaded) {
    Set(cr, {(light.r + base.r) / 2, (light.g + base.g) / 2, (light.b + base.b) / 2});
    cairo_fill(cr);
    return;
  }
  cairo_pattern_t* g = cairo_pattern_create_radial(x - 0.35 * r, y - 0.4 * r, 0.05 * r, x, y, r);
  cairo_pattern_add_color_stop_rgb(g, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(g, 1, base.r, base.g, base.b);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// A front view of the sheep's head in a unit square: droopy ears, a dark face, big eyes and a
// wool topknot. Small sizes drop shading and small features and use a thicker outline relative
// to the size, so the shape still reads at 16 pixels.
void DrawIconHead(cairo_t* cr, int size) {
  const bool tiny = size <= 24;
  const bool shaded = size >= 32;
  const bool detailed = size >= 48;
  cairo_scale(cr, size, size);
  const double line = (tiny ? 1.0 : size <= 48 ? 1.3 : 2.2 * size / 64.0) / size;

  // Ears: out to the sides and slightly down.
  for (int side : {-1, 1}) {
    const double x = 0.5 + side * 0.31;
    Ellipse(cr, x, 0.52, 0.19 + line, 0.085 + line, side * 0.35);
    Set(cr, kOutline);
    cairo_fill(cr);
    Ellipse(cr, x, 0.52, 0.19, 0.085, side * 0.35);
    Shade(cr, shaded, kFaceLight, kFace, x, 0.5, 0.2);
    if (!tiny) {
      Ellipse(cr, x + side * 0.02, 0.525, 0.11, 0.04, side * 0.35);
      Set(cr, kEarInner);
      cairo_fill(cr);
    }
  }

  // Face: one oval, a little wider at the top.
  const double faceY = 0.6;
  Ellipse(cr, 0.5, faceY, 0.25 + line, 0.3 + line);
  Set(cr, kOutline);
  cairo_fill(cr);
  Ellipse(cr, 0.5, faceY, 0.25, 0.3);
  Shade(cr, shaded, kFaceLight, kFace, 0.5, faceY, 0.3);

  // Topknot: a crown of wool over the forehead.
  struct Puff {
    double x, y, r;
  };
  const Puff tuft[] = {{0.5, 0.2, 0.15},   {0.33, 0.27, 0.12}, {0.67, 0.27, 0.12},
                       {0.41, 0.17, 0.11}, {0.59, 0.17, 0.11}, {0.5, 0.32, 0.11}};
  for (const Puff& p : tuft)
    Ellipse(cr, p.x, p.y, p.r + line, p.r + line);
  Set(cr, kOutline);
  cairo_fill(cr);
  for (const Puff& p : tuft) {
    Ellipse(cr, p.x, p.y, p.r, p.r);
    Shade(cr, shaded, kWool, kWoolShade, p.x, p.y, p.r * 1.5);
  }

  // Eyes: white with big dark pupils; at the small sizes just bright ovals on the dark face.
  for (int side : {-1, 1}) {
    const double x = 0.5 + side * 0.105;
    const double y = 0.56;
    const double rx = tiny ? 0.075 : 0.068;
    const double ry = tiny ? 0.095 : 0.085;
    cairo_set_source_rgb(cr, 1, 1, 1);
    Ellipse(cr, x, y, rx, ry);
    cairo_fill(cr);
    if (tiny) continue;
    cairo_set_source_rgb(cr, 0.1, 0.06, 0.05);
    Ellipse(cr, x + side * 0.008, y + 0.012, rx * 0.72, ry * 0.72);
    cairo_fill(cr);
    if (shaded) {
      cairo_set_source_rgb(cr, 1, 1, 1);
      Ellipse(cr, x - 0.015, y - 0.015, rx * 0.3, rx * 0.3);
      cairo_fill(cr);
    }
  }

  if (detailed) {
    // Blush, nostrils and a small smile.
    for (int side : {-1, 1}) {
      const double x = 0.5 + side * 0.16;
      cairo_pattern_t* g = cairo_pattern_create_radial(x, 0.7, 0, x, 0.7, 0.06);
      cairo_pattern_add_color_stop_rgba(g, 0, 0.95, 0.55, 0.55, 0.7);
      cairo_pattern_add_color_stop_rgba(g, 1, 0.95, 0.55, 0.55, 0);
      cairo_set_source(cr, g);
      Ellipse(cr, x, 0.7, 0.06, 0.06);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
      cairo_set_source_rgb(cr, 0.1, 0.06, 0.05);
      Ellipse(cr, 0.5 + side * 0.035, 0.72, 0.014, 0.018, side * 0.5);
      cairo_fill(cr);
    }
    cairo_set_line_width(cr, line * 0.8);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 0.45, 0.78);
    cairo_curve_to(cr, 0.47, 0.81, 0.5, 0.81, 0.5, 0.785);
    cairo_curve_to(cr, 0.5, 0.81, 0.53, 0.81, 0.55, 0.78);
    cairo_stroke(cr);
  }
}

RgbaImage RenderIconImage(int size) {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size), &cairo_surface_destroy);
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()),
                                                        &cairo_destroy);
  DrawIconHead(cr.get(), size);
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("icon drawing");
  return StraightRgbaFromSurface(surface.get());
}

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xffff);
  PutU16(out, v >> 16);
}

// The classic icon image: BITMAPINFOHEADER with doubled height, bottom-up BGRA rows (straight
// alpha), then the 1-bit AND mask that old consumers use for transparency.
std::vector<std::uint8_t> BmpEntry(const RgbaImage& image) {
  const int size = image.width;
  const std::size_t maskStride = ((size + 31) / 32) * 4;
  std::vector<std::uint8_t> out;
  PutU32(out, 40);
  PutU32(out, static_cast<std::uint32_t>(size));
  PutU32(out, static_cast<std::uint32_t>(size * 2));
  PutU16(out, 1);
  PutU16(out, 32);
  PutU32(out, 0);
  PutU32(out, static_cast<std::uint32_t>(size * size * 4 + maskStride * size));
  for (int i = 0; i < 4; ++i)
    PutU32(out, 0);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const std::uint8_t* px = &image.pixels[(static_cast<std::size_t>(y) * size + x) * 4];
      out.insert(out.end(), {px[2], px[1], px[0], px[3]});
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < size; ++x) {
      if (image.pixels[(static_cast<std::size_t>(y) * size + x) * 4 + 3] == 0) {
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

std::vector<std::uint8_t> BuildIcon() {
  std::vector<std::vector<std::uint8_t>> images;
  for (int size : kIconSizes) {
    const RgbaImage image = RenderIconImage(size);
    images.push_back(size >= 256 ? EncodePng(image) : BmpEntry(image));
  }
  std::vector<std::uint8_t> out;
  PutU16(out, 0);
  PutU16(out, 1);  // icon, not cursor
  PutU16(out, static_cast<unsigned>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = kIconSizes[i];
    out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));  // 0 means 256
    out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
    out.push_back(0);
    out.push_back(0);
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, static_cast<std::uint32_t>(images[i].size()));
    PutU32(out, static_cast<std::uint32_t>(offset));
    offset += images[i].size();
  }
  for (const auto& image : images)
    out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace art
