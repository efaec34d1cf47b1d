#include "character/character_art_win.h"

#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace companion {

LoadedAtlas::~LoadedAtlas() {
  delete bitmap;
  if (stream) stream->Release();
}

namespace {

// A read-only stream over bytes that outlive it: the program's resources stay where the loader
// mapped them, instead of being copied into global memory for CreateStreamOnHGlobal.
class ResourceStream final : public IStream {
 public:
  ResourceStream(const uint8_t* bytes, ULONG size, ULONG position = 0)
      : bytes_(bytes), size_(size), position_(position) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id != IID_IUnknown && id != IID_ISequentialStream && id != IID_IStream) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Read(void* target, ULONG wanted, ULONG* read) override {
    const ULONG count = std::min(wanted, size_ - position_);
    std::memcpy(target, bytes_ + position_, count);
    position_ += count;
    if (read) *read = count;
    return count == wanted ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* position) override {
    const LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                          : origin == STREAM_SEEK_CUR ? LONGLONG(position_)
                                                      : LONGLONG(size_);
    const LONGLONG target = base + move.QuadPart;
    if (origin > STREAM_SEEK_END || target < 0 || target > LONGLONG(size_)) {
      return STG_E_INVALIDFUNCTION;
    }
    position_ = ULONG(target);
    if (position) position->QuadPart = position_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = size_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override {
    *copy = new ResourceStream(bytes_, size_, position_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override {
    return STG_E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }

 private:
  const uint8_t* bytes_;
  ULONG size_;
  ULONG position_;
  ULONG references_ = 1;
};

}  // namespace

std::unique_ptr<LoadedAtlas> LoadAtlas(int32_t resourceId) {
  auto atlas = std::make_unique<LoadedAtlas>();
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
  if (!resource) throw std::runtime_error("Missing realistic character resource");

  const DWORD size = SizeofResource(module, resource);
  const void* bytes = nullptr;
  if (HGLOBAL loaded = LoadResource(module, resource)) bytes = LockResource(loaded);
  if (!bytes) throw std::runtime_error("Missing realistic character resource");
  atlas->stream = new ResourceStream(static_cast<const uint8_t*>(bytes), size);
  atlas->bitmap = new Gdiplus::Bitmap(atlas->stream);
  if (!atlas->bitmap || atlas->bitmap->GetLastStatus() != Gdiplus::Ok) {
    throw std::runtime_error("Invalid character PNG");
  }
  return atlas;
}

const MotionClip& CurrentClip(const CharacterArt& art) {
  return art.younger ? YoungerClip : MotionClips[art.clipIndex];
}

namespace {

bool EveryFrameKept(const CharacterArt& art) {
  return !art.scaled.frames.empty() && art.scaled.storedCount == CurrentClip(art).frameCount;
}

}  // namespace

void EnsureClip(CharacterArt& art, int32_t clipIndex) {
  if (art.clipIndex == clipIndex && (art.atlas || EveryFrameKept(art))) return;
  art.atlas.reset();
  art.scaled = {};
  art.clipIndex = clipIndex;
  art.atlas = LoadAtlas(CurrentClip(art).resourceId);
}

void SetYounger(CharacterArt& art, bool younger) {
  if (art.younger == younger) return;
  art.atlas.reset();
  art.scaled = {};
  art.younger = younger;
}

uint64_t ClipDurationMs(const CharacterArt& art) {
  return ClipDurationMs(CurrentClip(art));
}

void DrawClipFrame(CharacterArt& art, Gdiplus::Graphics& graphics, uint64_t elapsedMs) {
  if (!art.atlas) art.atlas = LoadAtlas(CurrentClip(art).resourceId);
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

void DrawScaledFrame(CharacterArt& art, DesktopSurface& surface, float scale, uint64_t elapsedMs) {
  const MotionClip& clip = CurrentClip(art);
  ScaledFrames& kept = art.scaled;
  if (kept.frames.empty() || kept.scale != scale || kept.surfaceWidth != surface.width ||
      kept.surfaceHeight != surface.height) {
    kept = {scale, surface.width, surface.height, 0, std::vector<ScaledFrame>(clip.frameCount)};
  }
  ScaledFrame& frame = kept.frames[FrameAtElapsed(clip, elapsedMs)];
  if (frame.stored) {
    PasteFrame(frame, ClearSurface(surface), surface.width);
    return;
  }
  {
    SurfaceCanvas canvas(surface, scale);
    DrawClipFrame(art, canvas.graphics(), elapsedMs);
  }
  frame = CropToDrawing(surface.pixels, surface.width, surface.height);
  // With every frame kept, the decoded atlas (tens of megabytes) is no longer needed.
  if (++kept.storedCount == clip.frameCount) art.atlas.reset();
}

}  // namespace companion
