#pragma once
// The figure's sprite atlases, read from the program's resources: the frames of one clip at a time.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "character/clips.h"
#include "base/desktop_surface_win.h"
#include "character/atlas_frames.h"
#include "character/frame_scaler.h"

namespace companion {

// The current clip's frames, cut out of its atlas, and the filter that scales them. Only the
// frames are kept: the atlas is read row by row as the clip starts and never held whole.
struct CharacterArt {
  std::unique_ptr<LoadedAtlas> atlas;
  FrameScaler scaler;
  int32_t clipIndex = 0;
  bool younger = false;
};

// Reads the clip's PNG atlas from the program's resources where the loader mapped it, and keeps its
// frames. Throws "Missing realistic character resource", "Invalid character PNG" or std::bad_alloc.
std::unique_ptr<LoadedAtlas> LoadAtlas(const MotionClip& clip);

// Makes clipIndex the current clip, loading its atlas unless it is already loaded; a change of clip
// drops the frames of the one before first.
void EnsureClip(CharacterArt& art, int32_t clipIndex);

// Changing the figure drops the loaded frames; the next draw loads the right atlas.
void SetYounger(CharacterArt& art, bool younger);

// The clip row in use: the younger figure's, or the current clip's.
const MotionClip& CurrentClip(const CharacterArt& art);
uint64_t ClipDurationMs(const CharacterArt& art);

// Clears the surface and draws the frame for the time since the clip began at its origin, scaled
// by `scale`, loading the clip's atlas when none is loaded. Throws "Motion frame outside atlas",
// what LoadAtlas throws, and "Cannot allocate desktop surface" for a surface without pixels.
void DrawClipFrame(CharacterArt& art, DesktopSurface& surface, float scale, uint64_t elapsedMs);

}  // namespace companion
