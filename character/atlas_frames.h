#pragma once
// A clip's frames cut out of its atlas as the PNG is read, each cropped to its drawing and
// premultiplied, so that the decoded atlas (40 MB for 192 frames) never exists as a whole: the
// figure's frames hold about half of that, and a clip starts without a second copy.
#include <cstdint>
#include <span>
#include <vector>

#include "character/clips.h"
#include "character/frame_scaler.h"

namespace companion {

struct LoadedAtlas {
  int32_t atlasWidth = 0;
  int32_t atlasHeight = 0;
  // One per frame of the clip, in frame order; a frame that lies outside a short atlas, or shows
  // nothing, is empty.
  std::vector<CroppedFrame> frames;
  // The pixels, one block per atlas row of frames: blocks of a megabyte or so go back to the
  // system when the clip changes, where many small ones would stay in the heap.
  std::vector<std::vector<uint8_t>> blocks;
};

// Reads the atlas PNG of `clip` and keeps its frames. Throws what ReadPngRows throws for a
// damaged PNG, and std::bad_alloc.
LoadedAtlas CutAtlasFrames(std::span<const uint8_t> png, const MotionClip& clip);

}  // namespace companion
