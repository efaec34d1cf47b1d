#include "rig.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace art {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kGroundY = 184;  // screen row of the hooves' soles
constexpr double kOutline = 2.3;  // line width of every outline, in rig units

double Radians(double degrees) {
  return degrees * kPi / 180;
}
double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}
double Clamp01(double v) {
  return std::clamp(v, 0.0, 1.0);
}

Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.f + b.f, a.y + b.y, a.s + b.s};
}
Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.f - b.f, a.y - b.y, a.s - b.s};
}
Vec3 operator*(Vec3 a, double k) {
  return {a.f * k, a.y * k, a.s * k};
}
double Dot(Vec3 a, Vec3 b) {
  return a.f * b.f + a.y * b.y + a.s * b.s;
}
double Length(Vec3 a) {
  return std::sqrt(Dot(a, a));
}
Vec3 Normalised(Vec3 a) {
  const double l = Length(a);
  return l > 1e-9 ? a * (1 / l) : Vec3{0, 1, 0};
}
Vec3 MixVec(Vec3 a, Vec3 b, double t) {
  return {Lerp(a.f, b.f, t), Lerp(a.y, b.y, t), Lerp(a.s, b.s, t)};
}

struct Rgb {
  double r, g, b;
};

Rgb Hex(unsigned v) {
  return {((v >> 16) & 0xff) / 255.0, ((v >> 8) & 0xff) / 255.0, (v & 0xff) / 255.0};
}
Rgb MixRgb(Rgb a, Rgb b, double t) {
  return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)};
}

void SetColour(cairo_t* cr, Rgb c, double alpha = 1) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

struct Palette {
  Rgb woolLight, woolMid, woolShade;
  Rgb faceLight, faceMid, faceShade;
  Rgb leg, hoof, earInner, blush, outline, eyeLine;
};

// Proportions of one figure. Joint positions and lengths are in rig units; `scale` sizes the
// whole figure about its ground point. Both figures fill the frame's height: at rest the top of
// the head is about 21 frame pixels down, where the tail of the bubble above the figure ends
// (22 units down, less its 2-unit tip), so the tail meets the head at every size.
struct Build {
  double scale;
  double centreX;              // frame x of the figure's ground point; left of the middle so
                               // the head, ahead of the body, comes near the tail's x (140)
  double bodyF, bodyY, bodyS;  // wool body half-extents
  double puff;                 // radius of a wool puff
  double headScale;
  Vec3 headAt;        // head centre on the body, body coordinates
  double hipF, hipS;  // hip joints at (+-hipF, -16, +-hipS) on the body
  double legUpper, legLower, legWidth;
  Palette colours;
};

const Build& BuildOf(Figure figure) {
  static const Build kSheep{
      1.225,
      118,
      60,
      38,
      34,
      15,
      1.15,
      {56, 30, 0},
      36,
      15,
      24,
      26,
      10.5,
      {Hex(0xFFFDF8), Hex(0xF3ECE0), Hex(0xC9BCA8), Hex(0x7D665D), Hex(0x5A4640), Hex(0x3A2C28),
       Hex(0x4E3D38), Hex(0x241C1A), Hex(0xE9A3A0), Hex(0xF08C8C), Hex(0x3A2E2A), Hex(0x1A1210)}};
  static const Build kLamb{
      1.107,
      128,
      46,
      34,
      30,
      14,
      1.5,
      {44, 34, 0},
      27,
      13,
      24,
      26,
      9.5,
      {Hex(0xFFFFFF), Hex(0xF8F3EA), Hex(0xD3C7B5), Hex(0xB08D7C), Hex(0x8E6D60), Hex(0x654a40),
       Hex(0x866659), Hex(0x3E302C), Hex(0xF2B0AE), Hex(0xF49A9A), Hex(0x3F322D), Hex(0x24180F)}};
  return figure == Figure::kLamb ? kLamb : kSheep;
}

struct Point {
  double x, y;
};

// Orthographic view of the yaw frame: the figure turns about the vertical axis.
struct View {
  double cosYaw, sinYaw;
  Point At(Vec3 p) const { return {p.f * cosYaw - p.s * sinYaw, -p.y}; }
  double Depth(Vec3 p) const { return p.f * sinYaw + p.s * cosYaw; }
};

View ViewAt(double yawDegrees) {
  return {std::cos(Radians(yawDegrees)), std::sin(Radians(yawDegrees))};
}

// Body coordinates to the yaw frame: breathing swell, roll onto the far side, pitch, then the root.
struct BodyFrame {
  double cosRoll, sinRoll, cosPitch, sinPitch, swell;
  Vec3 root;
  Vec3 Place(Vec3 p) const {
    p.y *= swell;
    p.s *= swell;
    const double y1 = p.y * cosRoll + p.s * sinRoll;
    const double s1 = -p.y * sinRoll + p.s * cosRoll;
    return Vec3{p.f * cosPitch - y1 * sinPitch, p.f * sinPitch + y1 * cosPitch, s1} + root;
  }
};

struct Sphere {
  Vec3 centre;  // yaw frame
  double radius;
  double shade;  // 0 lit .. 1 in shadow
};

void CirclePath(cairo_t* cr, Point c, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, c.x, c.y, r, 0, 2 * kPi);
}

void EllipsePath(cairo_t* cr, Point c, double rx, double ry, double angle) {
  cairo_save(cr);
  cairo_translate(cr, c.x, c.y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
}

// A ball lit from the upper left: a soft highlight, the base colour, a darker rim.
void FillBall(cairo_t* cr, Point c, double r, Rgb light, Rgb base, Rgb rim) {
  cairo_pattern_t* g =
      cairo_pattern_create_radial(c.x - 0.32 * r, c.y - 0.38 * r, 0.1 * r, c.x, c.y, 1.02 * r);
  cairo_pattern_add_color_stop_rgb(g, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(g, 0.55, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(g, 1, rim.r, rim.g, rim.b);
  cairo_set_source(cr, g);
  CirclePath(cr, c, r);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// A cloud of wool balls: one outline pass under all of them gives a single scalloped silhouette,
// then each ball is filled back to front with a faint crease along its lower edge.
void DrawWool(cairo_t* cr, const View& view, std::vector<Sphere> balls, const Palette& p,
              bool outlined = true) {
  std::stable_sort(balls.begin(), balls.end(), [&](const Sphere& a, const Sphere& b) {
    return view.Depth(a.centre) < view.Depth(b.centre);
  });
  if (outlined) {
    SetColour(cr, p.outline);
    for (const Sphere& b : balls) {
      CirclePath(cr, view.At(b.centre), b.radius + kOutline);
    }
    cairo_fill(cr);
  }
  for (const Sphere& b : balls) {
    const Point c = view.At(b.centre);
    const Rgb base = MixRgb(p.woolMid, p.woolShade, 0.55 * b.shade);
    FillBall(cr, c, b.radius, MixRgb(p.woolLight, base, 0.3 * b.shade), base,
             MixRgb(base, p.woolShade, 0.75));
    cairo_set_line_width(cr, 1.3);
    SetColour(cr, p.woolShade, 0.55);
    cairo_new_path(cr);
    cairo_arc(cr, c.x, c.y, b.radius * 0.9, Radians(25), Radians(150));
    cairo_stroke(cr);
  }
}

// Two-bone leg: the knee bends towards `hint` (forward for front legs, back for hind legs).
struct LegShape {
  Vec3 hip, knee, foot;
};

LegShape SolveLeg(Vec3 hip, Vec3 target, double upper, double lower, Vec3 hint) {
  const Vec3 d = target - hip;
  const double reach = std::clamp(Length(d), std::abs(upper - lower) + 0.5, upper + lower - 0.01);
  const Vec3 dir = Normalised(d);
  const Vec3 perp = Normalised(hint - dir * Dot(hint, dir));
  const double cosA = (upper * upper + reach * reach - lower * lower) / (2 * upper * reach);
  const double sinA = std::sqrt(std::max(0.0, 1 - cosA * cosA));
  return {hip, hip + (dir * cosA + perp * sinA) * upper, hip + dir * reach};
}

void DrawLeg(cairo_t* cr, const View& view, const LegShape& leg, const Build& b, double shade) {
  const Palette& p = b.colours;
  const Point h = view.At(leg.hip), k = view.At(leg.knee), f = view.At(leg.foot);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  const auto stroke = [&](double width, Rgb colour) {
    cairo_move_to(cr, h.x, h.y);
    cairo_line_to(cr, k.x, k.y);
    cairo_line_to(cr, f.x, f.y);
    cairo_set_line_width(cr, width);
    SetColour(cr, colour);
    cairo_stroke(cr);
  };
  const Rgb legColour = MixRgb(p.leg, p.outline, shade);
  stroke(b.legWidth + 2 * kOutline, p.outline);
  stroke(b.legWidth, legColour);
  // A thin lit edge down the front of the leg gives it roundness.
  cairo_save(cr);
  cairo_translate(cr, -b.legWidth * 0.22, 0);
  cairo_move_to(cr, h.x, h.y);
  cairo_line_to(cr, k.x, k.y);
  cairo_line_to(cr, f.x, f.y);
  cairo_set_line_width(cr, b.legWidth * 0.28);
  SetColour(cr, MixRgb(legColour, p.faceLight, 0.7), 0.8);
  cairo_stroke(cr);
  cairo_restore(cr);

  // The hoof: a rounded wedge, wider at the sole, along the lower leg.
  cairo_save(cr);
  cairo_translate(cr, f.x, f.y);
  cairo_rotate(cr, std::atan2(f.y - k.y, f.x - k.x) - kPi / 2);
  const double top = b.legWidth * 0.5, sole = b.legWidth * 0.66;
  const auto hoofPath = [&](double grow) {
    cairo_new_path(cr);
    cairo_move_to(cr, -top - grow, -4 - grow);
    cairo_line_to(cr, top + grow, -4 - grow);
    cairo_curve_to(cr, sole + grow, 0, sole + grow, 3 + grow, sole - 2, 5 + grow);
    cairo_line_to(cr, -sole + 2, 5 + grow);
    cairo_curve_to(cr, -sole - grow, 3 + grow, -sole - grow, 0, -top - grow, -4 - grow);
    cairo_close_path(cr);
  };
  hoofPath(kOutline);
  SetColour(cr, p.outline);
  cairo_fill(cr);
  hoofPath(0);
  cairo_pattern_t* g = cairo_pattern_create_linear(-sole, 0, sole, 0);
  const Rgb hoofColour = MixRgb(p.hoof, p.outline, shade * 0.5);
  const Rgb shine = MixRgb(hoofColour, Hex(0xFFFFFF), 0.22);
  cairo_pattern_add_color_stop_rgb(g, 0, shine.r, shine.g, shine.b);
  cairo_pattern_add_color_stop_rgb(g, 0.6, hoofColour.r, hoofColour.g, hoofColour.b);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
}

std::vector<Sphere> BodyBalls(const Build& b, const BodyFrame& body, double shake) {
  std::vector<Sphere> balls;
  const auto add = [&](Vec3 local, double radius, int index) {
    const double jitter = shake * 2.2;
    local = local + Vec3{jitter * std::sin(index * 2.39), jitter * std::cos(index * 1.71), 0};
    const double height = local.y / b.bodyY;  // -1 underneath .. 1 on top
    const double shade = std::clamp(0.5 - 0.5 * height + (local.s < 0 ? 0.25 : 0.0), 0.0, 1.0);
    balls.push_back({body.Place(local), radius, shade});
  };
  // Fillers keep the inside of the cloud solid; the rings give the scalloped edge and flanks.
  for (int i = 0; i < 5; ++i) {
    add({(i - 2) * b.bodyF * 0.3, 0, 0}, b.bodyY * 0.86, 100 + i);
  }
  constexpr int kRing = 14;
  for (int i = 0; i < kRing; ++i) {
    const double t = 2 * kPi * i / kRing + 0.2;
    add({b.bodyF * 0.82 * std::cos(t), b.bodyY * 0.8 * std::sin(t), 0},
        b.puff * (1 + 0.12 * std::sin(3.0 * i)), i);
  }
  for (int side : {-1, 1}) {
    constexpr int kFlank = 7;
    for (int i = 0; i < kFlank; ++i) {
      const double t = 2 * kPi * i / kFlank + 0.5;
      add({b.bodyF * 0.5 * std::cos(t), b.bodyY * 0.42 * std::sin(t), side * b.bodyS * 0.7},
          b.puff * 0.95, 20 + i + side * 10);
    }
  }
  return balls;
}

struct HeadFrame {
  Vec3 centre;                                  // yaw frame
  double cosPitch, sinPitch, cosTurn, sinTurn;  // turn relative to the body's yaw
  double scale;
  Vec3 Place(Vec3 q) const {
    q = q * scale;
    const double a = q.f * cosPitch - q.y * sinPitch;
    const double y = q.f * sinPitch + q.y * cosPitch;
    return centre + Vec3{a * cosTurn - q.s * sinTurn, y, a * sinTurn + q.s * cosTurn};
  }
  Vec3 Direction(Vec3 q) const { return Place(q) - Place({0, 0, 0}); }
};

// Facing of a surface point on the head: 1 towards the viewer, negative when turned away.
double Facing(const View& view, const HeadFrame& head, Vec3 normal) {
  return view.Depth(Normalised(head.Direction(normal)));
}

void DrawEar(cairo_t* cr, const View& view, const HeadFrame& head, int side, const Pose& pose,
             const Palette& p, bool inner) {
  const double lift = Radians(pose.earLift + (side > 0 ? pose.earFlick : 0));
  const Vec3 root{-6, 5, side * 14.0};
  const Vec3 dir = Normalised({-0.3, 0.02 + std::sin(lift), side * std::cos(lift)});
  const Point a = view.At(head.Place(root));
  const Point t = view.At(head.Place(root + dir * 19));
  const Point mid{(a.x + t.x) / 2, (a.y + t.y) / 2};
  const double len = std::max(5.0, std::hypot(t.x - a.x, t.y - a.y) / 2 + 3);
  const double angle = std::atan2(t.y - a.y, t.x - a.x);
  const double w = 6.0 * head.scale;
  SetColour(cr, p.outline);
  EllipsePath(cr, mid, len + kOutline, w + kOutline, angle);
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(mid.x, mid.y - w, mid.x, mid.y + w);
  cairo_pattern_add_color_stop_rgb(g, 0, p.faceLight.r, p.faceLight.g, p.faceLight.b);
  cairo_pattern_add_color_stop_rgb(g, 1, p.faceShade.r, p.faceShade.g, p.faceShade.b);
  cairo_set_source(cr, g);
  EllipsePath(cr, mid, len, w, angle);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  if (inner) {
    SetColour(cr, p.earInner, 0.9);
    EllipsePath(cr, {mid.x + std::cos(angle) * 1.5, mid.y + std::sin(angle) * 1.5}, len * 0.62,
                w * 0.45, angle);
    cairo_fill(cr);
  }
}

void DrawEye(cairo_t* cr, const View& view, const HeadFrame& head, int side, const Pose& pose,
             const Palette& p) {
  const Vec3 at{14, 0.5, side * 9.0};
  const double facing = Facing(view, head, at);
  if (facing < 0.05) return;
  const double s = head.scale;
  const Point c = view.At(head.Place(at));
  const double rx = 6.6 * s * std::max(0.4, facing);
  const double ry = 7.8 * s;
  const double open = pose.happy >= 0.5 ? 0 : Clamp01(pose.eyeOpen);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  if (open < 0.12) {
    // Closed: a sleepy curve, or a smiling arch when happy.
    const double bend = pose.happy > 0.5 ? -4.0 * s : 3.2 * s;
    cairo_move_to(cr, c.x - rx, c.y + 1);
    cairo_curve_to(cr, c.x - rx * 0.4, c.y + 1 + bend, c.x + rx * 0.4, c.y + 1 + bend, c.x + rx,
                   c.y + 1);
    cairo_set_line_width(cr, 2.2 * std::sqrt(s));
    SetColour(cr, p.eyeLine);
    cairo_stroke(cr);
    return;
  }
  SetColour(cr, p.outline);
  EllipsePath(cr, c, rx + 1.4, ry + 1.4, 0);
  cairo_fill(cr);
  cairo_save(cr);
  EllipsePath(cr, c, rx, ry, 0);
  cairo_clip(cr);
  SetColour(cr, Hex(0xFFFFFF));
  cairo_paint(cr);
  // Pupils glance the way the head faces, a little towards the viewer.
  const double glance = view.At(head.Direction({1, 0, 0})).x / std::max(1.0, head.scale);
  const Point pupil{c.x + 0.25 * glance * rx, c.y + 0.8 * s};
  SetColour(cr, Hex(0x3B2418));
  EllipsePath(cr, pupil, 4.8 * s * std::max(0.55, facing), 5.4 * s, 0);
  cairo_fill(cr);
  SetColour(cr, Hex(0x0E0808));
  EllipsePath(cr, pupil, 3.1 * s * std::max(0.55, facing), 3.6 * s, 0);
  cairo_fill(cr);
  SetColour(cr, Hex(0xFFFFFF));
  CirclePath(cr, {pupil.x - 1.5 * s, pupil.y - 2.1 * s}, 1.9 * s);
  cairo_fill(cr);
  CirclePath(cr, {pupil.x + 1.6 * s, pupil.y + 1.8 * s}, 0.9 * s);
  cairo_fill(cr);
  // Eyelid coming down from the top.
  const double lidY = c.y - ry + 2 * ry * (1 - open);
  SetColour(cr, p.faceMid);
  cairo_rectangle(cr, c.x - rx - 2, c.y - ry - 2, 2 * rx + 4, lidY - (c.y - ry - 2));
  cairo_fill(cr);
  cairo_restore(cr);
  if (open < 0.98) {
    SetColour(cr, p.eyeLine);
    cairo_set_line_width(cr, 1.6 * std::sqrt(s));
    cairo_move_to(cr, c.x - rx, lidY);
    cairo_line_to(cr, c.x + rx, lidY);
    cairo_stroke(cr);
  }
}

void DrawMuzzleDetails(cairo_t* cr, const View& view, const HeadFrame& head, const Pose& pose,
                       const Palette& p) {
  const double s = head.scale;
  for (int side : {-1, 1}) {
    const Vec3 cheek{9, -7, side * 13.0};
    const double facing = Facing(view, head, cheek);
    if (facing > 0.1) {
      const Point c = view.At(head.Place(cheek));
      cairo_pattern_t* g = cairo_pattern_create_radial(c.x, c.y, 0, c.x, c.y, 5.5 * s);
      cairo_pattern_add_color_stop_rgba(g, 0, p.blush.r, p.blush.g, p.blush.b, 0.75 * facing);
      cairo_pattern_add_color_stop_rgba(g, 1, p.blush.r, p.blush.g, p.blush.b, 0);
      cairo_set_source(cr, g);
      CirclePath(cr, c, 5.5 * s);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
    }
  }
  const double front = Facing(view, head, {1, -0.3, 0});
  if (front < 0.05) return;
  SetColour(cr, p.eyeLine);
  for (int side : {-1, 1}) {
    const Point n = view.At(head.Place({24.5, -9, side * 3.6}));
    EllipsePath(cr, n, 1.5 * s * std::max(0.5, front), 1.9 * s, side * 0.5);
    cairo_fill(cr);
  }
  const Point m0 = view.At(head.Place({22, -17, -4.5}));
  const Point m1 = view.At(head.Place({24.5, -18.5, 0}));
  const Point m2 = view.At(head.Place({22, -17, 4.5}));
  if (pose.mouthOpen > 0.05) {
    const Point c{m1.x, m1.y + 1.0 * s};
    SetColour(cr, Hex(0x2B1212));
    EllipsePath(cr, c, 3.2 * s * std::max(0.5, front), 3.6 * s * pose.mouthOpen, 0);
    cairo_fill(cr);
    SetColour(cr, Hex(0xE07A80));
    EllipsePath(cr, {c.x, c.y + 1.6 * s * pose.mouthOpen}, 2.0 * s * std::max(0.5, front),
                1.6 * s * pose.mouthOpen, 0);
    cairo_fill(cr);
    return;
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 1.5 * std::sqrt(s));
  cairo_move_to(cr, m0.x, m0.y);
  cairo_curve_to(cr, m0.x, m0.y + 2 * s, m1.x, m1.y + 1.5 * s, m1.x, m1.y);
  cairo_curve_to(cr, m1.x, m1.y + 1.5 * s, m2.x, m2.y + 2 * s, m2.x, m2.y);
  cairo_stroke(cr);
}

void DrawHead(cairo_t* cr, const View& view, const HeadFrame& head, const Pose& pose,
              const Build& b, double tiltDegrees) {
  const Palette& p = b.colours;
  const Point centre = view.At(head.centre);
  cairo_save(cr);
  cairo_translate(cr, centre.x, centre.y);
  cairo_rotate(cr, Radians(tiltDegrees));
  cairo_translate(cr, -centre.x, -centre.y);

  const double nearSide = view.Depth(head.Direction({0, 0, 1})) >= 0 ? 1 : -1;
  DrawEar(cr, view, head, static_cast<int>(-nearSide), pose, p, false);

  const double s = head.scale;
  const Point cranium = view.At(head.Place({0, 0, 0}));
  const Point muzzle = view.At(head.Place({12, -9, 0}));
  SetColour(cr, p.outline);
  CirclePath(cr, cranium, 20 * s + kOutline);
  CirclePath(cr, muzzle, 14 * s + kOutline);
  cairo_fill(cr);
  FillBall(cr, cranium, 20 * s, p.faceLight, p.faceMid, p.faceShade);
  FillBall(cr, muzzle, 14 * s, MixRgb(p.faceLight, Hex(0xFFFFFF), 0.12), p.faceMid,
           MixRgb(p.faceMid, p.faceShade, 0.6));

  DrawMuzzleDetails(cr, view, head, pose, p);
  DrawEye(cr, view, head, -1, pose, p);
  DrawEye(cr, view, head, 1, pose, p);

  // The fluffy topknot sits on the crown, a little back from the eyes.
  std::vector<Sphere> tuft;
  for (const auto& [at, r] : {std::pair{Vec3{-7, 19.5, 0}, 8.5},
                              {Vec3{-13, 16.5, 5.5}, 7.0},
                              {Vec3{-13, 16.5, -5.5}, 7.0},
                              {Vec3{-1, 20, 4.5}, 6.5},
                              {Vec3{-1, 20, -4.5}, 6.5},
                              {Vec3{-17, 9, 0}, 7.0}}) {
    tuft.push_back({head.Place(at), r * s, at.y > 15 ? 0.0 : 0.3});
  }
  DrawWool(cr, view, tuft, p);

  DrawEar(cr, view, head, static_cast<int>(nearSide), pose, p, true);
  cairo_restore(cr);
}

void DrawZ(cairo_t* cr, Point c, double size, double alpha) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  const auto path = [&] {
    cairo_move_to(cr, c.x - size / 2, c.y - size / 2);
    cairo_line_to(cr, c.x + size / 2, c.y - size / 2);
    cairo_line_to(cr, c.x - size / 2, c.y + size / 2);
    cairo_line_to(cr, c.x + size / 2, c.y + size / 2);
  };
  path();
  cairo_set_line_width(cr, size * 0.24 + 3.5);
  cairo_set_source_rgba(cr, 1, 1, 1, alpha * 0.9);
  cairo_stroke(cr);
  path();
  cairo_set_line_width(cr, size * 0.24);
  cairo_set_source_rgba(cr, 0.25, 0.33, 0.6, alpha);
  cairo_stroke(cr);
}

// Three letters rise from the head in turn; the cycle is seamless because each letter's life is
// the phase shifted by a third, wrapped.
void DrawSleepLetters(cairo_t* cr, Point head, const Pose& pose) {
  if (pose.zzzFade <= 0) return;
  for (int k = 0; k < 3; ++k) {
    const double life = pose.zzz + k / 3.0 - std::floor(pose.zzz + k / 3.0);
    const double alpha = std::sin(kPi * life) * Clamp01(pose.zzzFade);
    const Point c{head.x + 8 + 28 * life + 5 * std::sin(2 * kPi * life), head.y - 30 - 52 * life};
    DrawZ(cr, c, 8 + 12 * life, Clamp01(alpha * 1.3));
  }
}

}  // namespace

Pose Mix(const Pose& a, const Pose& b, double t) {
  Pose m;
  m.yaw = Lerp(a.yaw, b.yaw, t);
  m.headFront = Lerp(a.headFront, b.headFront, t);
  m.headLook = Lerp(a.headLook, b.headLook, t);
  m.headPitch = Lerp(a.headPitch, b.headPitch, t);
  m.headTilt = Lerp(a.headTilt, b.headTilt, t);
  m.headShift = MixVec(a.headShift, b.headShift, t);
  m.rootF = Lerp(a.rootF, b.rootF, t);
  m.rootY = Lerp(a.rootY, b.rootY, t);
  m.pitch = Lerp(a.pitch, b.pitch, t);
  m.roll = Lerp(a.roll, b.roll, t);
  m.breathe = Lerp(a.breathe, b.breathe, t);
  for (std::size_t i = 0; i < m.feet.size(); ++i)
    m.feet[i] = MixVec(a.feet[i], b.feet[i], t);
  m.waveLeg = Lerp(a.waveLeg, b.waveLeg, t);
  m.earLift = Lerp(a.earLift, b.earLift, t);
  m.earFlick = Lerp(a.earFlick, b.earFlick, t);
  m.eyeOpen = Lerp(a.eyeOpen, b.eyeOpen, t);
  m.happy = Lerp(a.happy, b.happy, t);
  m.mouthOpen = Lerp(a.mouthOpen, b.mouthOpen, t);
  m.tail = Lerp(a.tail, b.tail, t);
  m.shake = Lerp(a.shake, b.shake, t);
  m.zzz = Lerp(a.zzz, b.zzz, t);
  m.zzzFade = Lerp(a.zzzFade, b.zzzFade, t);
  return m;
}

void DrawFigure(cairo_t* cr, Figure figure, const Pose& pose) {
  const Build& b = BuildOf(figure);
  const Palette& p = b.colours;
  cairo_save(cr);
  cairo_translate(cr, b.centreX, kGroundY);
  cairo_scale(cr, b.scale, b.scale);

  const View view = ViewAt(pose.yaw);
  const BodyFrame body{std::cos(Radians(pose.roll)),  std::sin(Radians(pose.roll)),
                       std::cos(Radians(pose.pitch)), std::sin(Radians(pose.pitch)),
                       1 + 0.035 * pose.breathe,      {pose.rootF, pose.rootY, 0}};

  // Legs hang from hips inside the wool; their tops are hidden by the body drawn over them. A
  // waving foreleg moves its root out to the near side of the chest and bends its knee upwards,
  // so it can be drawn over the wool.
  std::array<LegShape, 4> legs;
  for (int i = 0; i < 4; ++i) {
    const bool front = i < 2;
    const double side = (i % 2 == 0) ? 1 : -1;
    Vec3 hip{front ? b.hipF : -b.hipF, -16, side * b.hipS};
    Vec3 hint{front ? 1.0 : -1.0, 0, 0};
    if (i == kFrontNear) {
      hip = MixVec(hip, {b.hipF + 8, -14, b.hipS + 8}, pose.waveLeg);
      hint.y = pose.waveLeg;
    }
    // The ankle sits above the sole.
    const Vec3 target = pose.feet[i] + Vec3{front ? b.hipF : -b.hipF, 5, side * b.hipS};
    legs[i] = SolveLeg(body.Place(hip), target, b.legUpper, b.legLower, hint);
  }
  const bool waving = pose.waveLeg > 0.5;
  std::array<int, 4> order = {0, 1, 2, 3};
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
    return view.Depth(legs[x].foot) < view.Depth(legs[y].foot);
  });
  for (int i : order) {
    if (waving && i == kFrontNear) continue;
    const double far = view.Depth(legs[i].hip) < 0 ? 0.3 : 0.0;
    DrawLeg(cr, view, legs[i], b, far);
  }

  // Tail: two puffs at the rump, wagging sideways.
  const double wag = std::sin(Radians(pose.tail));
  DrawWool(cr, view,
           {{body.Place({-b.bodyF - 4, b.bodyY * 0.3, 9 * wag}), b.puff * 0.62, 0.25},
            {body.Place({-b.bodyF + 2, b.bodyY * 0.38, 4 * wag}), b.puff * 0.7, 0.2}},
           p);

  const std::vector<Sphere> wool = BodyBalls(b, body, pose.shake);
  DrawWool(cr, view, wool, p);

  if (waving) {
    // A puff of wool hides where the raised leg leaves the chest.
    const Vec3 shoulder = legs[kFrontNear].hip;
    DrawLeg(cr, view, legs[kFrontNear], b, 0);
    DrawWool(cr, view,
             {{shoulder + Vec3{-3, 2, 0}, b.puff * 0.62, 0.35}, {shoulder, b.puff * 0.5, 0.4}}, p,
             false);
  }
  const double turn = 90 + (pose.yaw - 90) * (1 - pose.headFront) +
                      pose.headLook * (pose.yaw <= 90 ? 1 : -1) - pose.yaw;
  const HeadFrame head{body.Place(b.headAt) + pose.headShift,
                       std::cos(Radians(pose.headPitch)),
                       std::sin(Radians(pose.headPitch)),
                       std::cos(Radians(turn)),
                       std::sin(Radians(turn)),
                       b.headScale};
  DrawHead(cr, view, head, pose, b, pose.headTilt);

  DrawSleepLetters(cr, view.At(head.centre), pose);
  cairo_restore(cr);
}

}  // namespace art
