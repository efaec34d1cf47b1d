#include "clips.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace art {
namespace {

constexpr double kPi = std::numbers::pi;

double Smooth(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// 0 outside [from, to], rising smoothly to 1 over `ramp` frames at both ends.
double Window(double f, double from, double to, double ramp) {
  return Smooth((f - from) / ramp) * Smooth((to - f) / ramp);
}

// A blink: eyes shut for a moment around `at`.
double Blink(double f, double at) {
  return std::clamp(std::abs(f - at) / 3.0 - 0.2, 0.0, 1.0);
}

// A short bump from 0 to 1 and back, `width` frames either side of `at`.
double Bump(double f, double at, double width) {
  const double x = std::abs(f - at) / width;
  return x >= 1 ? 0 : 0.5 + 0.5 * std::cos(kPi * x);
}

struct Key {
  double frame;
  Pose pose;
};

// Eased in and out between neighbouring keys; holds the first and last key outside them.
Pose Keyed(const std::vector<Key>& keys, double f) {
  if (f <= keys.front().frame) return keys.front().pose;
  for (std::size_t i = 1; i < keys.size(); ++i) {
    if (f <= keys[i].frame) {
      const Key& a = keys[i - 1];
      const Key& b = keys[i];
      return Mix(a.pose, b.pose, Smooth((f - a.frame) / (b.frame - a.frame)));
    }
  }
  return keys.back().pose;
}

// The three poses that clips meet in: standing, sitting on the haunches, lying asleep.
Pose Rest() {
  return Pose{};
}

Pose Seated() {
  Pose p;
  p.headFront = 0.5;
  p.rootF = -8;
  p.rootY = 56;
  p.pitch = 20;
  p.feet[kFrontNear] = {-4, 0, 0};
  p.feet[kFrontFar] = {-4, 0, 0};
  p.feet[kBackNear] = {30, 0, 4};
  p.feet[kBackFar] = {30, 0, -2};
  p.headLook = 8;
  p.headTilt = 4;
  p.tail = 0;
  return p;
}

Pose Lying() {
  Pose p;
  p.headFront = 0.45;
  p.rootF = -4;
  p.rootY = 43;
  p.roll = 10;
  p.feet[kFrontNear] = {30, 0, 6};
  p.feet[kFrontFar] = {20, 0, 0};
  p.feet[kBackNear] = {24, 0, 4};
  p.feet[kBackFar] = {22, 0, 0};
  p.headShift = {6, -26, 0};
  p.headPitch = -6;
  p.headTilt = 10;
  p.earLift = -14;
  p.eyeOpen = 0;
  p.zzzFade = 1;
  return p;
}

// Diagonal pairs move together: front-near with back-far, front-far with back-near.
void AddTrot(Pose& p, double phase, double amount, double stride) {
  for (int leg = 0; leg < 4; ++leg) {
    const bool firstPair = leg == kFrontNear || leg == kBackFar;
    const double legPhase = phase + (firstPair ? 0 : kPi);
    p.feet[leg].f += stride * std::sin(legPhase) * amount;
    p.feet[leg].y += 7 * std::max(0.0, std::cos(legPhase)) * amount;
  }
  p.rootY += 1.6 * amount * std::cos(2 * phase);
  p.headPitch += 3 * amount * std::sin(2 * phase + 0.6);
  p.earLift += 5 * amount * std::sin(2 * phase);
  p.tail += 18 * amount * std::sin(phase);
}

Pose Idle(double f) {
  Pose look = Rest();
  look.headLook = 16;
  look.headTilt = 9;
  look.earLift = 8;
  Pose back = Rest();
  back.headTilt = -3;
  Pose p = Keyed({{0, Rest()}, {14, look}, {32, look}, {46, back}, {59, Rest()}}, f);
  p.eyeOpen *= Blink(f, 24);
  p.tail += 24 * std::sin(2 * kPi * f / 9) * Window(f, 10, 40, 6);
  p.earFlick += 22 * Bump(f, 40, 5);
  p.breathe = 0.6 * std::sin(2 * kPi * f / 59);
  return p;
}

// Stands for the first second, steps off, trots in place while the window travels, and lands
// back in the rest pose on the last frame. Walking left turns round first and back at the end.
Pose Walk(double f, bool left) {
  constexpr double kStart = 24, kEnd = 191;
  Pose p = Rest();
  double hop = 0;
  if (left) {
    Pose facingLeft = Rest();
    facingLeft.yaw = 145;
    p.yaw = Keyed({{0, Rest()}, {6, Rest()}, {20, facingLeft}, {172, facingLeft}, {190, Rest()}}, f)
                .yaw;
    hop = Bump(f, 13, 7);
  } else {
    p.yaw = 35 - 10 * Window(f, 16, kEnd, 12);
  }
  p.rootY += 9 * hop;
  for (Vec3& foot : p.feet)
    foot.y += 5 * hop;
  p.earLift += 18 * hop;
  p.eyeOpen *= Blink(f, left ? 40 : 10);
  p.eyeOpen *= Blink(f, 120);
  const double amount = Window(f, kStart, kEnd, 12);
  const double phase = 2 * kPi * 7 * (f - kStart) / (kEnd - kStart);
  if (f > kStart) AddTrot(p, phase, amount, 9);
  return p;
}

// Side-on, so the raised foreleg stands out against the background even at the smallest size:
// the weight shifts back, the near foreleg comes up in front of the chest and the hoof swings
// to and fro about the knee, while the face turns to the viewer.
Pose Wave(double f) {
  Pose ready = Rest();
  ready.rootF = -4;
  ready.rootY = 64;
  ready.pitch = 5;
  ready.headFront = 0.6;
  ready.headPitch = 6;
  ready.earLift = 6;
  ready.feet[kBackNear].f = -3;
  ready.feet[kBackFar].f = -3;
  Pose raised = ready;
  raised.waveLeg = 1;
  raised.feet[kFrontNear] = {54, 50, 4};
  raised.headShift = {-6, -2, 0};
  raised.headTilt = -6;
  raised.happy = 1;
  Pose p = Keyed(
      {{0, Rest()}, {14, ready}, {30, raised}, {140, raised}, {158, ready}, {176, Rest()}}, f);
  const double waving = Window(f, 32, 140, 8);
  const double swing = std::sin(2 * kPi * (f - 32) / 18);
  p.feet[kFrontNear].f += 6 * swing * waving;
  p.feet[kFrontNear].y += 13 * swing * waving;
  p.headTilt += 3 * swing * waving;
  p.mouthOpen = Bump(f, 86, 10);
  p.happy *= 1 - Bump(f, 104, 14);
  p.tail += 22 * std::sin(2 * kPi * f / 8) * waving;
  p.eyeOpen *= Blink(f, 182);
  return p;
}

Pose SitDown(double f) {
  Pose crouch = Rest();
  crouch.headPitch = -8;
  crouch.headLook = -10;
  crouch.rootY = 64;
  crouch.rootF = -2;
  Pose low = Seated();
  low.rootY -= 3;
  low.pitch += 3;
  low.earLift = 10;
  return Keyed({{0, Rest()}, {22, crouch}, {70, low}, {88, Seated()}, {107, Seated()}}, f);
}

Pose Sitting(double f) {
  Pose p = Seated();
  const double cycle = std::sin(2 * kPi * f / 72);
  p.breathe = cycle;
  p.rootY += 0.8 * cycle;
  p.headTilt += 3 * std::sin(2 * kPi * f / 72 + 0.4) - 3 * std::sin(0.4);
  p.eyeOpen *= Blink(f, 28);
  p.earFlick += 20 * Bump(f, 52, 5);
  return p;
}

// Letters' phase runs one cycle per 72 frames, continued across the lie-down, the sleep and the
// wake-up, so none of the three jumps where they meet.
double SleepPhase(double f) {
  return f / 72 - std::floor(f / 72);
}

Pose LieDown(double f) {
  Pose yawn = Seated();
  yawn.mouthOpen = 1;
  yawn.eyeOpen = 0;
  yawn.headPitch = 14;
  yawn.headTilt = -4;
  yawn.earLift = -6;
  Pose kneel = Lying();
  kneel.rootY = 50;
  kneel.pitch = -6;
  kneel.roll = 0;
  kneel.headShift = {4, -6, 0};
  kneel.headPitch = 0;
  kneel.headTilt = 0;
  kneel.eyeOpen = 1;
  kneel.earLift = 0;
  kneel.zzzFade = 0;
  Pose drowsy = Lying();
  drowsy.eyeOpen = 0.45;
  drowsy.zzzFade = 0;
  Pose p = Keyed({{0, Seated()},
                  {20, Seated()},
                  {36, yawn},
                  {52, yawn},
                  {66, Seated()},
                  {112, kneel},
                  {148, drowsy},
                  {162, drowsy},
                  {184, Lying()},
                  {191, Lying()}},
                 f);
  p.zzz = SleepPhase(f - 191);
  p.eyeOpen *= Blink(f, 80);
  return p;
}

Pose Asleep(double f) {
  Pose p = Lying();
  const double cycle = std::sin(2 * kPi * f / 72);
  p.breathe = 1.2 * cycle;
  p.rootY += 1.2 * cycle;
  p.headShift.y += 0.5 * cycle;
  p.zzz = SleepPhase(f);
  return p;
}

Pose WakeAndRise(double f) {
  Pose awake = Lying();
  awake.eyeOpen = 1;
  awake.zzzFade = 0;
  awake.headShift = {6, -18, 0};
  awake.headTilt = 0;
  awake.earLift = 6;
  Pose kneel = awake;
  kneel.roll = 0;
  kneel.rootY = 48;
  kneel.headShift = {2, -2, 0};
  kneel.headPitch = 6;
  Pose frontUp = kneel;
  frontUp.pitch = 14;
  frontUp.rootY = 56;
  frontUp.rootF = 2;
  frontUp.feet[kFrontNear] = {4, 0, 0};
  frontUp.feet[kFrontFar] = {4, 0, 0};
  Pose stretch = Rest();
  stretch.pitch = -8;
  stretch.rootF = -6;
  stretch.rootY = 62;
  stretch.feet[kFrontNear] = {14, 0, 0};
  stretch.feet[kFrontFar] = {14, 0, 0};
  stretch.headPitch = 12;
  stretch.eyeOpen = 0;
  stretch.mouthOpen = 1;
  Pose p = Keyed({{0, Lying()},
                  {10, Lying()},
                  {30, awake},
                  {58, awake},
                  {80, kneel},
                  {104, frontUp},
                  {126, Rest()},
                  {136, stretch},
                  {150, stretch},
                  {160, Rest()},
                  {191, Rest()}},
                 f);
  p.zzz = SleepPhase(f);
  p.eyeOpen *= Blink(f, 40) * Blink(f, 50);
  const double shaking = Window(f, 160, 186, 5);
  p.shake = shaking * std::sin(2 * kPi * f / 4);
  p.earLift += 16 * shaking * std::sin(2 * kPi * f / 4 + 1);
  p.tail += 30 * shaking * std::sin(2 * kPi * f / 4);
  return p;
}

Pose LambPlay(double f) {
  Pose look = Rest();
  look.headLook = 18;
  look.headTilt = 10;
  look.earLift = 10;
  Pose p = Keyed({{0, Rest()}, {14, look}, {30, look}, {44, Rest()}, {191, Rest()}}, f);
  for (const double at : {62.0, 82.0, 140.0}) {
    // Lambs spring straight up on all four legs.
    const double jump = Bump(f, at, 9);
    p.rootY += 16 * jump;
    for (Vec3& foot : p.feet)
      foot.y += 10 * jump;
    p.earLift += 22 * jump;
    p.happy = std::max(p.happy, Bump(f, at, 7));
  }
  p.mouthOpen = Bump(f, 108, 9);
  p.headPitch += 10 * Bump(f, 108, 9);
  p.tail += 28 * std::sin(2 * kPi * f / 7) * Window(f, 96, 130, 6);
  p.headTilt -= 8 * Bump(f, 164, 12);
  p.headLook -= 12 * Bump(f, 164, 12);
  p.eyeOpen *= Blink(f, 24) * Blink(f, 178);
  p.earFlick += 24 * Bump(f, 174, 4);
  p.breathe = 0.5 * std::sin(2 * kPi * f / 48);
  return p;
}

}  // namespace

Pose ClipPose(int clip, int frame) {
  const double f = frame;
  switch (clip) {
    case 0:
      return Idle(f);
    case 1:
      return Walk(f, false);
    case 2:
      return Walk(f, true);
    case 3:
      return Wave(f);
    case 4:
      return SitDown(f);
    case 5:
      return Sitting(f);
    case 6:
      return LieDown(f);
    case 7:
      return Asleep(f);
    case 8:
      return WakeAndRise(f);
    case 9:
      return LambPlay(f);
    default:
      throw std::out_of_range("no such clip");
  }
}

}  // namespace art
