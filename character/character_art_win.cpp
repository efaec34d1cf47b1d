#include "character/character_art_win.h"

#include <gdiplus.h>

#include <stdexcept>

// Exported by windowscodecs but declared by no MinGW header: the factory without COM, which the
// self-test has not started.
extern "C" HRESULT WINAPI WICCreateImagingFactory_Proxy(UINT version, IWICImagingFactory** factory);

namespace companion {

std::unique_ptr<LoadedAtlas> LoadAtlas(int32_t resourceId) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
  if (!resource) throw std::runtime_error("Missing realistic character resource");
  const DWORD size = SizeofResource(module, resource);
  void* bytes = nullptr;
  if (HGLOBAL loaded = LoadResource(module, resource)) bytes = LockResource(loaded);
  if (!bytes) throw std::runtime_error("Missing realistic character resource");

  // The stream reads the resource in place; the decoded copy is made at once (CacheOnLoad), so
  // the decoder and its own buffers go before this returns.
  auto atlas = std::make_unique<LoadedAtlas>();
  ComInterface<IWICImagingFactory> factory;
  ComInterface<IWICStream> stream;
  ComInterface<IWICBitmapDecoder> decoder;
  ComInterface<IWICBitmapFrameDecode> frame;
  ComInterface<IWICBitmapSource> converted;
  const bool decoded =
      SUCCEEDED(WICCreateImagingFactory_Proxy(WINCODEC_SDK_VERSION, &factory.p)) &&
      SUCCEEDED(factory.p->CreateStream(&stream.p)) &&
      SUCCEEDED(stream.p->InitializeFromMemory(static_cast<BYTE*>(bytes), size)) &&
      SUCCEEDED(factory.p->CreateDecoderFromStream(stream.p, nullptr,
                                                   WICDecodeMetadataCacheOnDemand, &decoder.p)) &&
      SUCCEEDED(decoder.p->GetFrame(0, &frame.p)) &&
      SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.p, &converted.p)) &&
      SUCCEEDED(
          factory.p->CreateBitmapFromSource(converted.p, WICBitmapCacheOnLoad, &atlas->pixels.p)) &&
      SUCCEEDED(atlas->pixels.p->GetSize(&atlas->width, &atlas->height));
  if (!decoded) throw std::runtime_error("Invalid character PNG");
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
  LoadedAtlas& atlas = *art.atlas;
  if (!FrameInsideAtlas(source, atlas.width, atlas.height)) {
    throw std::runtime_error("Motion frame outside atlas");
  }
  // The frame's own pixels, cut out of the atlas; drawn, the bicubic filter sees no neighbour.
  const UINT stride = UINT(source.width) * 4;
  atlas.frame.resize(size_t(stride) * size_t(source.height));
  const WICRect rect{source.x, source.y, source.width, source.height};
  if (FAILED(atlas.pixels.p->CopyPixels(&rect, stride, UINT(atlas.frame.size()),
                                        atlas.frame.data()))) {
    throw std::runtime_error("Invalid character PNG");
  }
  Gdiplus::Bitmap frame(source.width, source.height, INT(stride), PixelFormat32bppARGB,
                        atlas.frame.data());
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.DrawImage(&frame, Gdiplus::Rect(0, 0, clip.frameWidth, clip.frameHeight), 0, 0,
                     source.width, source.height, Gdiplus::UnitPixel);
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
