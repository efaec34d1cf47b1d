// art_check <scrollwick_art> <scratch-dir>: runs the generator twice and checks what the program
// relies on: atlas sizes and layout, transparent corners, coverage, motion in every clip, clips
// that meet in the same pose, the walk's still first second, byte-identical reruns, and the
// icon's structure.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "clips.h"
#include "icon.h"
#include "png_file.h"

namespace {

namespace fs = std::filesystem;
using art::kFrameHeight;
using art::kFrameWidth;
using art::RgbaImage;

int failures = 0;
int passes = 0;

void Check(bool ok, const std::string& what) {
  ++(ok ? passes : failures);
  std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
}

struct Frame {
  const RgbaImage* atlas;
  int index;
  int Alpha(int x, int y) const { return Pixel(x, y)[3]; }
  const std::uint8_t* Pixel(int x, int y) const {
    const int ox = (index % art::kColumns) * kFrameWidth;
    const int oy = (index / art::kColumns) * kFrameHeight;
    return &atlas->pixels[(static_cast<std::size_t>(oy + y) * atlas->width + ox + x) * 4];
  }
};

int Coverage(const Frame& f) {
  int n = 0;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x)
      n += f.Alpha(x, y) >= 33;
  }
  return n;
}

// Share of the figure's pixels that visibly differ (premultiplied, so invisible colour does not
// count) between two frames rows [top, bottom).
double Difference(const Frame& a, const Frame& b, int top = 0, int bottom = kFrameHeight) {
  int changed = 0, covered = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const std::uint8_t* p = a.Pixel(x, y);
      const std::uint8_t* q = b.Pixel(x, y);
      covered += p[3] >= 33 || q[3] >= 33;
      bool differs = std::abs(p[3] - q[3]) > 24;
      for (int c = 0; c < 3 && !differs; ++c) {
        differs = std::abs(p[c] * p[3] / 255 - q[c] * q[3] / 255) > 24;
      }
      changed += differs;
    }
  }
  return covered == 0 ? 0 : static_cast<double>(changed) / covered;
}

// Lowest row and horizontal centre of the visible figure.
struct Extent {
  int bottom = -1;
  double centreX = 0;
};

Extent Measure(const Frame& f) {
  Extent e;
  int left = kFrameWidth, right = -1;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      if (f.Alpha(x, y) < 33) continue;
      e.bottom = y;
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  e.centreX = (left + right) / 2.0;
  return e;
}

// Alpha-weighted mean x of the hoof rows, or a negative value when every hoof is off the ground.
double HoofCentre(const Frame& f) {
  double sum = 0, weight = 0;
  for (int y = kFrameHeight - 12; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      sum += x * f.Alpha(x, y);
      weight += f.Alpha(x, y);
    }
  }
  return weight < 255 * 20 ? -1 : sum / weight;
}

std::string ClipName(int clip) {
  return std::to_string(art::kClips[clip].resourceId) + " (" + art::kClips[clip].name + ")";
}

void CheckAtlas(int clip, const RgbaImage& atlas) {
  const art::ClipInfo& info = art::kClips[clip];
  const std::string name = ClipName(clip);
  const int rows = (info.frames + art::kColumns - 1) / art::kColumns;
  Check(atlas.width == 2240 && atlas.height == rows * kFrameHeight,
        name + ": atlas is 2240 x " + std::to_string(rows * kFrameHeight));
  if (atlas.width != 2240 || atlas.height != rows * kFrameHeight) return;

  const bool lamb = info.figure == art::Figure::kLamb;
  int badCorners = 0, thin = 0, moving = 0, offGround = 0, offCentre = 0;
  for (int i = 0; i < info.frames; ++i) {
    const Frame f{&atlas, i};
    const int secondCorner =
        lamb ? f.Alpha(kFrameWidth - 1, kFrameHeight - 1) : f.Alpha(kFrameWidth - 1, 0);
    badCorners += f.Alpha(0, 0) != 0 || secondCorner != 0;
    thin += Coverage(f) < 200;
    moving += Difference(f, Frame{&atlas, 0}) > 0;
    const Extent e = Measure(f);
    offGround += e.bottom < kFrameHeight - 30;
    offCentre += std::abs(e.centreX - kFrameWidth / 2.0) > 35;
  }
  Check(badCorners == 0, name + ": " + std::to_string(badCorners) + " frames with opaque corners");
  Check(thin == 0, name + ": " + std::to_string(thin) + " frames under 200 visible pixels");
  Check(moving > info.frames / 4,
        name + ": the clip moves (" + std::to_string(moving) + " frames differ from frame 0)");
  Check(offGround == 0, name + ": " + std::to_string(offGround) + " frames float above the ground");
  Check(offCentre == 0, name + ": " + std::to_string(offCentre) + " frames off centre");
  const Extent first = Measure(Frame{&atlas, 0});
  Check(first.bottom >= kFrameHeight - 8,
        name + ": feet on the bottom edge in frame 0 (row " + std::to_string(first.bottom) + ")");

  bool emptyCellsClear = true;
  for (int i = info.frames; i < rows * art::kColumns; ++i) {
    emptyCellsClear = emptyCellsClear && Coverage(Frame{&atlas, i}) == 0;
  }
  Check(emptyCellsClear, name + ": cells after the last frame are transparent");
}

// Clips that follow each other must meet in the same picture, or the figure jumps.
void CheckContinuity(const std::vector<RgbaImage>& atlases) {
  struct Meeting {
    int clipA, frameA, clipB, frameB;
    const char* pose;
  };
  const auto last = [](int clip) { return art::kClips[clip].frames - 1; };
  const Meeting kMeetings[] = {
      {0, 0, 0, last(0), "idle ends at rest"},
      {0, 0, 1, 0, "walk right starts at rest"},
      {0, 0, 1, last(1), "walk right ends at rest"},
      {0, 0, 2, 0, "walk left starts at rest"},
      {0, 0, 2, last(2), "walk left ends at rest"},
      {0, 0, 3, 0, "wave starts at rest"},
      {0, 0, 3, last(3), "wave ends at rest"},
      {0, 0, 4, 0, "sit-down starts at rest (and its reverse ends there)"},
      {4, last(4), 5, 0, "seated starts where sit-down ends"},
      {5, 0, 6, 0, "lie-down starts seated"},
      {6, last(6), 7, 0, "asleep starts where lie-down ends"},
      {7, 0, 8, 0, "rise starts asleep"},
      {8, last(8), 0, 0, "rise ends at rest"},
      {9, last(9), 9, 0, "lamb clip replays without a jump"},
  };
  for (const Meeting& m : kMeetings) {
    const double d =
        Difference(Frame{&atlases[m.clipA], m.frameA}, Frame{&atlases[m.clipB], m.frameB});
    char text[160];
    std::snprintf(text, sizeof text, "%s: %d/%d vs %d/%d differ in %.1f%% of the figure", m.pose,
                  art::kClips[m.clipA].resourceId, m.frameA, art::kClips[m.clipB].resourceId,
                  m.frameB, d * 100);
    Check(d <= 0.03, text);
  }
  // Resting clips replay from their first frame: the step over the seam is no bigger than the
  // steps inside the clip.
  for (int clip : {5, 7}) {
    const RgbaImage& atlas = atlases[clip];
    double largestStep = 0;
    for (int i = 1; i <= last(clip); ++i) {
      largestStep = std::max(largestStep, Difference(Frame{&atlas, i - 1}, Frame{&atlas, i}));
    }
    const double seam = Difference(Frame{&atlas, last(clip)}, Frame{&atlas, 0});
    char text[160];
    std::snprintf(text, sizeof text, "%s loops: seam step %.1f%%, largest inner step %.1f%%",
                  ClipName(clip).c_str(), seam * 100, largestStep * 100);
    Check(seam <= largestStep * 1.5 + 0.005, text);
  }
  // The pose changes in between: a table of identical pictures would pass the rows above.
  Check(Difference(Frame{&atlases[0], 0}, Frame{&atlases[5], 0}) > 0.2, "seated differs from rest");
  Check(Difference(Frame{&atlases[5], 0}, Frame{&atlases[7], 0}) > 0.2,
        "asleep differs from seated");
}

// The window stands still for the walk's first second and travels afterwards, so the hooves
// stay put for 24 frames and then step.
void CheckWalk(int clip, const RgbaImage& atlas) {
  const std::string name = ClipName(clip);
  const double start = HoofCentre(Frame{&atlas, 0});
  int slid = 0;
  for (int i = 1; i < art::kFramesPerSecond; ++i) {
    const double c = HoofCentre(Frame{&atlas, i});
    slid += c >= 0 && std::abs(c - start) > 4;
  }
  Check(slid == 0,
        name + ": hooves stay put in the first second (" + std::to_string(slid) + " frames moved)");
  int stepping = 0, counted = 0;
  for (int i = 36; i < 160; ++i, ++counted) {
    stepping += Difference(Frame{&atlas, i}, Frame{&atlas, 0}, kFrameHeight - 40) > 0.1;
  }
  Check(stepping * 4 >= counted * 3, name + ": legs step after the first second (" +
                                         std::to_string(stepping) + " of " +
                                         std::to_string(counted) + " frames)");
}

void CheckStraightAlpha(const RgbaImage& atlas) {
  // Premultiplied colour can never exceed alpha; the letters' white halo does in straight alpha.
  bool found = false;
  for (std::size_t i = 0; i < atlas.pixels.size() && !found; i += 4) {
    const int a = atlas.pixels[i + 3];
    found = a > 0 && a < 128 && atlas.pixels[i] > a + 60;
  }
  Check(found, "atlases are written with straight alpha");
}

unsigned U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8;
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16;
}

void CheckIcon(const std::vector<std::uint8_t>& ico) {
  Check(ico.size() > 6 && U16(ico, 0) == 0 && U16(ico, 2) == 1 && U16(ico, 4) == 7,
        "icon header: type 1, seven images");
  if (ico.size() < 6 + 7 * 16) return;
  for (int i = 0; i < 7; ++i) {
    const int size = art::kIconSizes[i];
    const std::size_t e = 6 + 16 * i;
    const std::string name = "icon " + std::to_string(size) + ": ";
    Check((ico[e] == 0 ? 256 : ico[e]) == size && ico[e + 1] == ico[e], name + "entry size");
    Check(U16(ico, e + 4) == 1 && U16(ico, e + 6) == 32, name + "one plane, 32 bits per pixel");
    const std::uint32_t length = U32(ico, e + 8), offset = U32(ico, e + 12);
    const bool inside = offset < ico.size() && length <= ico.size() - offset;
    Check(inside, name + "image lies inside the file");
    if (!inside) continue;
    const std::vector<std::uint8_t> data(ico.begin() + offset, ico.begin() + offset + length);
    int visible = 0, clear = 0;
    if (data.size() >= 8 && data[0] == 0x89 && data[1] == 'P') {
      const RgbaImage image = art::DecodePng(data);
      Check(image.width == size && image.height == size, name + "PNG image size");
      for (std::size_t p = 3; p < image.pixels.size(); p += 4) {
        visible += image.pixels[p] >= 128;
        clear += image.pixels[p] == 0;
      }
    } else {
      const std::size_t maskBytes = ((size + 31) / 32) * 4 * size;
      Check(U32(data, 0) == 40 && U32(data, 4) == static_cast<std::uint32_t>(size) &&
                U32(data, 8) == static_cast<std::uint32_t>(2 * size) && U16(data, 14) == 32 &&
                data.size() == 40 + static_cast<std::size_t>(size) * size * 4 + maskBytes,
            name + "BMP header and length");
      for (std::size_t p = 40 + 3; p < 40 + static_cast<std::size_t>(size) * size * 4; p += 4) {
        visible += data[p] >= 128;
        clear += data[p] == 0;
      }
    }
    // A head that fills the square yet is not a square block.
    Check(visible * 10 >= size * size * 4 && clear * 10 >= size * size,
          name + "shape fills the square with a transparent surround");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: art_check <scrollwick_art> <scratch-dir>\n");
    return 2;
  }
  const fs::path scratch = argv[2];
  fs::remove_all(scratch);
  const fs::path runA = scratch / "a", runB = scratch / "b";
  for (const fs::path& dir : {runA, runB}) {
    const std::string command = std::string("\"") + argv[1] + "\" \"" + dir.string() + "\"";
    if (std::system(command.c_str()) != 0) {
      std::printf("FAIL: %s\n", command.c_str());
      return 1;
    }
  }

  std::vector<std::string> names = {"companion.ico", "contact-sheet.png"};
  for (const art::ClipInfo& clip : art::kClips) {
    names.push_back("atlas-" + std::to_string(clip.resourceId) + ".png");
  }
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(runA))
    files += entry.is_regular_file();
  Check(files == names.size(), "exactly the atlases, the icon and the contact sheet are written");
  for (const std::string& name : names) {
    Check(art::ReadFileBytes((runA / name).string()) == art::ReadFileBytes((runB / name).string()),
          name + " is identical in two runs");
  }

  std::vector<RgbaImage> atlases;
  for (int clip = 0; clip < static_cast<int>(art::kClips.size()); ++clip) {
    atlases.push_back(art::DecodePng(art::ReadFileBytes((runA / names[2 + clip]).string())));
    CheckAtlas(clip, atlases.back());
  }
  CheckContinuity(atlases);
  CheckWalk(1, atlases[1]);
  CheckWalk(2, atlases[2]);
  CheckStraightAlpha(atlases[7]);
  CheckIcon(art::ReadFileBytes((runA / "companion.ico").string()));

  std::printf("%d passed, %d failed\n", passes, failures);
  return failures == 0 ? 0 : 1;
}
