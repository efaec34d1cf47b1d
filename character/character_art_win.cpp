#include "character/character_art_win.h"

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/owners_win.h"
#include "base/wide_win.h"
#include "settings/startup_registration_win.h"

namespace companion {

namespace {

// Where the image's bytes at `address` lie in the program's file, from its section table; -1
// when no section holds them whole.
int64_t FileOffsetOf(HMODULE module, const void* address, DWORD size) {
  const auto* base = reinterpret_cast<const uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const uint64_t rva = uint64_t(static_cast<const uint8_t*>(address) - base);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    const uint64_t start = section->VirtualAddress;
    if (rva >= start && rva + size <= start + section->SizeOfRawData) {
      return int64_t(section->PointerToRawData + (rva - start));
    }
  }
  return -1;
}

// The resource's bytes read from the program's file into memory of their own, which goes back to
// the system with the buffer; empty if the file cannot be read.
std::vector<uint8_t> ReadFromProgramFile(HMODULE module, const void* address, DWORD size) {
  const int64_t offset = FileOffsetOf(module, address, size);
  const std::u16string path = ModuleFileName();
  if (offset < 0 || path.empty()) return {};
  FileHandle file(CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  std::vector<uint8_t> bytes(size);
  OVERLAPPED at{};
  at.Offset = DWORD(uint64_t(offset));
  at.OffsetHigh = DWORD(uint64_t(offset) >> 32);
  DWORD read = 0;
  if (!file.Valid() || !ReadFile(file.Get(), bytes.data(), size, &read, &at) || read != size) {
    return {};
  }
  return bytes;
}

}  // namespace

std::unique_ptr<LoadedAtlas> LoadAtlas(const MotionClip& clip) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(clip.resourceId), MAKEINTRESOURCEW(10));
  if (!resource) throw std::runtime_error("Missing realistic character resource");
  const DWORD size = SizeofResource(module, resource);
  const void* mapped = nullptr;
  if (HGLOBAL loaded = LoadResource(module, resource)) mapped = LockResource(loaded);
  if (!mapped) throw std::runtime_error("Missing realistic character resource");
  // Read where the loader mapped it, the atlas's pages would stay in the working set once read
  // (3 MB a clip, 33 MB once every clip has played); read from the file into a buffer, they go
  // with it. The mapped bytes serve if the file cannot be read, or no longer holds the atlas
  // (replaced since the program started).
  const std::span<const uint8_t> inImage(static_cast<const uint8_t*>(mapped), size);
  try {
    const std::vector<uint8_t> copy = ReadFromProgramFile(module, mapped, size);
    if (!copy.empty()) {
      try {
        return std::make_unique<LoadedAtlas>(CutAtlasFrames(copy, clip));
      } catch (const std::runtime_error&) {
        // Not the atlas the program carries: read the image's own bytes instead.
      }
    }
    return std::make_unique<LoadedAtlas>(CutAtlasFrames(inImage, clip));
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
