#include "character/character_art_win.h"

#include <gdiplus.h>

#include <cstring>
#include <new>
#include <stdexcept>

namespace companion {

LoadedAtlas::~LoadedAtlas() {
  delete bitmap;
  if (stream) stream->Release();
}

std::unique_ptr<LoadedAtlas> LoadAtlas(int32_t resourceId) {
  auto atlas = std::make_unique<LoadedAtlas>();
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
  if (!resource) throw std::runtime_error("Missing realistic character resource");

  const DWORD size = SizeofResource(module, resource);
  const void* bytes = nullptr;
  if (HGLOBAL loaded = LoadResource(module, resource)) bytes = LockResource(loaded);
  if (!bytes) throw std::runtime_error("Missing realistic character resource");
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) throw std::bad_alloc();
  void* target = GlobalLock(block);
  if (!target) {
    GlobalFree(block);
    throw std::bad_alloc();
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(block);

  // The stream frees the block when it is released.
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &atlas->stream))) {
    GlobalFree(block);
    throw std::runtime_error("Cannot decode character resource");
  }
  atlas->bitmap = new Gdiplus::Bitmap(atlas->stream);
  if (!atlas->bitmap || atlas->bitmap->GetLastStatus() != Gdiplus::Ok) {
    throw std::runtime_error("Invalid character PNG");
  }
  return atlas;
}

const MotionClip& CurrentClip(const CharacterArt& art) {
  return art.younger ? YoungerClip : MotionClips[art.clipIndex];
}

void EnsureClip(CharacterArt& art, int32_t clipIndex) {
  if (art.atlas && art.clipIndex == clipIndex) return;
  art.atlas.reset();
  art.clipIndex = clipIndex;
  art.atlas = LoadAtlas(CurrentClip(art).resourceId);
}

void SetYounger(CharacterArt& art, bool younger) {
  if (art.younger == younger) return;
  art.atlas.reset();
  art.younger = younger;
}

uint64_t ClipDurationMs(const CharacterArt& art) {
  return ClipDurationMs(CurrentClip(art));
}

void DrawClipFrame(CharacterArt& art, Gdiplus::Graphics& graphics, uint64_t elapsedMs) {
  if (!art.atlas) EnsureClip(art, art.clipIndex);
  const MotionClip& clip = CurrentClip(art);
  const AtlasRect source = FrameRect(clip, FrameAtElapsed(clip, elapsedMs));
  Gdiplus::Bitmap& bitmap = *art.atlas->bitmap;
  if (!FrameInsideAtlas(source, bitmap.GetWidth(), bitmap.GetHeight())) {
    throw std::runtime_error("Motion frame outside atlas");
  }
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.DrawImage(&bitmap, Gdiplus::Rect(0, 0, clip.frameWidth, clip.frameHeight), source.x,
                     source.y, source.width, source.height, Gdiplus::UnitPixel);
}

}  // namespace companion
