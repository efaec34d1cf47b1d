#pragma once
// The figure's sprite atlases: at most one decoded at a time, loaded from the program's resources.
#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "character/clips.h"
#include "base/desktop_surface_win.h"
#include "base/owners_win.h"
#include "character/scaled_frames.h"

namespace Gdiplus {
class Graphics;
}  // namespace Gdiplus

namespace companion {

// A decoded atlas: its pixels as 32-bit BGRA with straight alpha, held by WIC, and room for the
// one frame a draw copies out of them.
struct LoadedAtlas {
  ComInterface<IWICBitmap> pixels;
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> frame;
};

// The current clip's decoded atlas and its frames as drawn at the current scale. Once every frame
// is kept, the atlas is released; a scale change brings it back for the next draw.
struct CharacterArt {
  std::unique_ptr<LoadedAtlas> atlas;
  ScaledFrames scaled;
  int32_t clipIndex = 0;
  bool younger = false;
};

// Decodes the PNG atlas of an RCDATA resource of the program, reading the resource where the
// loader mapped it. Throws "Missing realistic character resource", "Invalid character PNG" or
// std::bad_alloc.
std::unique_ptr<LoadedAtlas> LoadAtlas(int32_t resourceId);

// Makes clipIndex the current clip, loading its atlas unless it is already current (loaded, or
// every frame kept). A change of clip drops the kept frames.
void EnsureClip(CharacterArt& art, int32_t clipIndex);

// Changing the figure drops the decoded atlas and the kept frames; the next draw loads the right
// atlas.
void SetYounger(CharacterArt& art, bool younger);

// The clip row in use: the younger figure's, or the current clip's.
const MotionClip& CurrentClip(const CharacterArt& art);
uint64_t ClipDurationMs(const CharacterArt& art);

// Draws the frame for the time since the clip began at the graphics' origin, in frame pixels; the
// graphics' world transform scales it. Throws "Motion frame outside atlas".
void DrawClipFrame(CharacterArt& art, Gdiplus::Graphics& graphics, uint64_t elapsedMs);

// Puts the frame for the time since the clip began into the surface at `scale`: a copy of the
// frame when it was drawn before at this scale and size, else drawn with DrawClipFrame and kept.
// Throws what DrawClipFrame and ClearSurface throw.
void DrawScaledFrame(CharacterArt& art, DesktopSurface& surface, float scale, uint64_t elapsedMs);

}  // namespace companion
