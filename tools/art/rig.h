// The figure's rig: one set of body parts with joints and shading, posed by a Pose and drawn with
// cairo into a 280 x 190 frame. Every clip of both figures goes through DrawFigure, so the
// proportions never change between clips.
#pragma once

#include <cairo.h>

#include <array>

namespace art {

constexpr int kFrameWidth = 280;
constexpr int kFrameHeight = 190;

struct Vec3 {
  double f = 0;  // forward, along the direction the figure faces
  double y = 0;  // up, from the ground
  double s = 0;  // sideways; +s is the side shown to the viewer when facing right
};

// Leg order: front +s, front -s, back +s, back -s. Trotting pairs are 0 with 3 and 1 with 2.
enum Leg { kFrontNear = 0, kFrontFar = 1, kBackNear = 2, kBackFar = 3 };

// Every value is interpolated linearly between keyframes, so a pose is plain numbers.
struct Pose {
  double yaw = 35;             // degrees; 0 faces right, 90 faces the viewer, 180 faces left
  double headFront = 0.36;     // how far the head turns from the body's yaw towards the viewer
  double headLook = 0;         // degrees of extra head yaw, for glances
  double headPitch = 0;        // degrees, nose up
  double headTilt = 0;         // degrees, clockwise on screen
  Vec3 headShift;              // head offset from its place on the body (lowering, reaching)
  double rootF = 0;            // body centre, forward of the frame's centre line
  double rootY = 68;           // body centre height above the ground
  double pitch = 0;            // degrees, front up
  double roll = 0;             // degrees, leaning over onto the far side
  double breathe = 0;          // -1..1, chest swell
  std::array<Vec3, 4> feet{};  // hoof positions relative to standing straight under the hip
  double waveLeg = 0;          // 0..1 raises the near foreleg's root to the chest, knee up;
                               // above 0.5 that leg is drawn over the wool, under the head
  double earLift = 0;          // degrees, ears up
  double earFlick = 0;         // degrees, near ear only
  double eyeOpen = 1;          // 0 closed (sleeping arcs) to 1 open
  double happy = 0;            // 0..1 blends open eyes into smiling arcs
  double mouthOpen = 0;        // 0..1, a bleat
  double tail = 0;             // degrees of wag
  double shake = 0;            // 0..1, wool shiver after getting up
  double zzz = 0;              // phase 0..1 of the floating sleep letters (a seamless cycle)
  double zzzFade = 0;          // 0 hides the sleep letters, 1 shows them fully
};

Pose Mix(const Pose& a, const Pose& b, double t);

enum class Figure { kSheep, kLamb };

// Draws the figure with its feet on the frame's ground line, centred in a 280 x 190 frame whose
// top-left is the current cairo origin.
void DrawFigure(cairo_t* cr, Figure figure, const Pose& pose);

}  // namespace art
