#pragma once
// The figure's sprite atlases: at most one decoded at a time, loaded from the program's resources.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <memory>

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

// Changing the figure drops the decoded atlas; the next draw loads the right one.
void SetYounger(CharacterArt& art, bool younger);

// Makes the clip current, loading its atlas unless that clip's atlas is already resident.
void EnsureClip(CharacterArt& art, int32_t clipIndex);
// Length of the current clip in milliseconds.
uint64_t ClipDurationMs(const CharacterArt& art);
// Draws the frame `elapsedMs` into the current clip at the graphics' origin, in frame pixels.
void DrawClipFrame(CharacterArt& art, Gdiplus::Graphics& graphics, uint64_t elapsedMs);

}  // namespace companion
