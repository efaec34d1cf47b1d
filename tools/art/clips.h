// The clip table of the figure's atlases and the pose of every frame.
#pragma once

#include <array>

#include "rig.h"

namespace art {

struct ClipInfo {
  int resourceId;
  int frames;
  Figure figure;
  const char* name;
};

constexpr int kColumns = 8;
constexpr int kFramesPerSecond = 24;

// Index 0 to 8 are the full-motion clips, 9 the lamb's one clip.
constexpr std::array<ClipInfo, 10> kClips = {{
    {100, 60, Figure::kSheep, "idle"},
    {101, 192, Figure::kSheep, "walk right"},
    {102, 192, Figure::kSheep, "walk left"},
    {103, 192, Figure::kSheep, "wave"},
    {104, 108, Figure::kSheep, "sit down"},
    {105, 72, Figure::kSheep, "seated"},
    {106, 192, Figure::kSheep, "lie down"},
    {107, 72, Figure::kSheep, "asleep"},
    {108, 192, Figure::kSheep, "wake and rise"},
    {109, 192, Figure::kLamb, "lamb"},
}};

Pose ClipPose(int clip, int frame);

}  // namespace art
