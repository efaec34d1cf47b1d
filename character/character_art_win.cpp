#include "character/character_art_win.h"

#include <stdexcept>
#include <string>

#include "base/owners_win.h"
#include "base/wide_win.h"
#include "settings/startup_registration_win.h"

namespace companion {

std::unique_ptr<LoadedAtlas> LoadAtlas(const MotionClip& clip) {
  // Read through a mapping of the program's file of its own, unmapped once the frames are cut,
  // the atlas's pages leave the working set with it; read through the loaded image they would
  // stay (3 MB a clip, 33 MB once every clip has played). The image serves if that fails.
  const std::u16string path = ModuleFileName();
  Library file(path.empty()
                   ? nullptr
                   : LoadLibraryExW(AsWide(path), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  HMODULE module = file.Valid() ? file.Get() : GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(clip.resourceId), MAKEINTRESOURCEW(10));
  if (!resource) throw std::runtime_error("Missing realistic character resource");
  const DWORD size = SizeofResource(module, resource);
  const void* bytes = nullptr;
  if (HGLOBAL loaded = LoadResource(module, resource)) bytes = LockResource(loaded);
  if (!bytes) throw std::runtime_error("Missing realistic character resource");
  try {
    return std::make_unique<LoadedAtlas>(
        CutAtlasFrames({static_cast<const uint8_t*>(bytes), size}, clip));
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    throw std::runtime_error("Invalid character PNG");
  }
}

const MotionClip& CurrentClip(const CharacterArt& art) {
  return art.younger ? YoungerClip : MotionClips[art.clipIndex];
}

void EnsureClip(CharacterArt& art, int32_t clipIndex) {
  if (art.clipIndex == clipIndex && art.atlas) return;
  // The old clip's frames go before the new ones are read, so the two never add up.
  art.atlas.reset();
  art.clipIndex = clipIndex;
  art.atlas = LoadAtlas(CurrentClip(art));
}

void SetYounger(CharacterArt& art, bool younger) {
  if (art.younger == younger) return;
  art.atlas.reset();
  art.younger = younger;
}

uint64_t ClipDurationMs(const CharacterArt& art) {
  return ClipDurationMs(CurrentClip(art));
}

void DrawClipFrame(CharacterArt& art, DesktopSurface& surface, float scale, uint64_t elapsedMs) {
  if (!art.atlas) art.atlas = LoadAtlas(CurrentClip(art));
  const MotionClip& clip = CurrentClip(art);
  const int32_t frame = FrameAtElapsed(clip, elapsedMs);
  if (!FrameInsideAtlas(FrameRect(clip, frame), art.atlas->atlasWidth, art.atlas->atlasHeight)) {
    throw std::runtime_error("Motion frame outside atlas");
  }
  uint8_t* pixels = ClearSurface(surface);
  ScaleFrame(art.scaler, art.atlas->frames[size_t(frame)], scale, pixels, surface.width,
             surface.height);
}

}  // namespace companion
