#include "character/character_art_win.h"

#include <gdiplus.h>

namespace companion {

LoadedAtlas::~LoadedAtlas() {
  delete bitmap;
  if (stream) stream->Release();
}

void SetYounger(CharacterArt& art, bool younger) {
  if (art.younger == younger) return;
  art.atlas.reset();
  art.younger = younger;
}

}  // namespace companion
