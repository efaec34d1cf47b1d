#pragma once
// The figure's sprite atlases: at most one decoded at a time, loaded from the program's resources.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <memory>

#include "character/clips.h"

namespace Gdiplus {
class Bitmap;
class Graphics;
}  // namespace Gdiplus

namespace companion {

// A decoded atlas. The bitmap reads from the stream for its whole life, so the stream (which owns
// the global memory block with the PNG bytes) is released after the bitmap is deleted.
struct LoadedAtlas {
  IStream* stream = nullptr;
  Gdiplus::Bitmap* bitmap = nullptr;

  LoadedAtlas() = default;
  LoadedAtlas(const LoadedAtlas&) = delete;
  LoadedAtlas& operator=(const LoadedAtlas&) = delete;
  ~LoadedAtlas();
};

struct CharacterArt {
  std::unique_ptr<LoadedAtlas> atlas;
  int32_t clipIndex = 0;
  bool younger = false;
};

// Decodes the PNG atlas of an RCDATA resource of the program. Throws "Missing realistic character
// resource", "Cannot decode character resource", "Invalid character PNG" or std::bad_alloc.
std::unique_ptr<LoadedAtlas> LoadAtlas(int32_t resourceId);

// Makes clipIndex the current clip, loading its atlas unless it is already the loaded one.
void EnsureClip(CharacterArt& art, int32_t clipIndex);

// Changing the figure drops the decoded atlas; the next draw loads the right one.
void SetYounger(CharacterArt& art, bool younger);

// The clip row in use: the younger figure's, or the current clip's.
const MotionClip& CurrentClip(const CharacterArt& art);
uint64_t ClipDurationMs(const CharacterArt& art);

// Draws the frame for the time since the clip began at the graphics' origin, in frame pixels; the
// graphics' world transform scales it. Throws "Motion frame outside atlas".
void DrawClipFrame(CharacterArt& art, Gdiplus::Graphics& graphics, uint64_t elapsedMs);

}  // namespace companion
