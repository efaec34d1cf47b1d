#include "selftest/self_test_win.h"

#include <windows.h>

#include <string>

#include "bubble/bubble_drawing_win.h"
#include "bubble/bubble_layout.h"
#include "character/character_art_win.h"
#include "base/desktop_surface_win.h"
#include "character/presentation_win.h"
#include "selftest/frame_checks.h"
#include "selftest/png_file_win.h"

namespace companion {

namespace {

constexpr uint32_t kOfflineSeed = 123;
constexpr int kDrawsPerCategory = 100;

// Frame f lasts from f * 1000 / 24 ms; rounding that up lands inside it.
uint64_t FrameElapsedMs(int32_t frame) {
  return (uint64_t(frame) * 1000 + 23) / 24;
}

void RenderTestFrame(CharacterArt& art, DesktopSurface& surface, int32_t frame) {
  // No scale: one frame pixel is one surface pixel.
  DrawClipFrame(art, surface, 1.0f, FrameElapsedMs(frame));
}

FramePixels Pixels(const DesktopSurface& surface) {
  return {{surface.pixels, size_t(surface.width) * size_t(surface.height) * 4},
          surface.width,
          surface.height};
}

bool FrameAcceptable(const DesktopSurface& surface, SecondCorner corner) {
  const FramePixels pixels = Pixels(surface);
  return CornersClear(pixels, corner) && VisiblePixels(pixels) >= kMinimumVisiblePixels;
}

std::u16string ClipFileName(int32_t clip) {
  return u"character-clip-" + std::u16string(1, char16_t(u'0' + clip)) + u".png";
}

}  // namespace

int CheckFullMotionClip(CharacterArt& art, DesktopSurface& surface, int32_t clip) {
  EnsureClip(art, clip);
  const int32_t frames = MotionClips[clip].frameCount;
  uint64_t firstHash = 0;
  bool changed = false;
  for (int32_t f = 0; f < frames; ++f) {
    RenderTestFrame(art, surface, f);
    if (!FrameAcceptable(surface, SecondCorner::TopRight)) return kSelfTestFrameBroken;
    const uint64_t hash = FrameHash(Pixels(surface));
    if (f == 0) firstHash = hash;
    changed = changed || hash != firstHash;
    if (f == frames / 2) SavePngFile(surface, ClipFileName(clip));
  }
  return changed ? kSelfTestPassed : kSelfTestClipStill;
}

int CheckYoungerClip(CharacterArt& art, DesktopSurface& surface) {
  if (!art.younger) {
    SetYounger(art, true);
    EnsureClip(art, art.clipIndex);
  }
  uint64_t firstHash = 0;
  bool changed = false;
  for (int32_t f = 0; f < YoungerClip.frameCount; ++f) {
    RenderTestFrame(art, surface, f);
    if (!FrameAcceptable(surface, SecondCorner::BottomRight)) return kSelfTestYoungerFrameBroken;
    const uint64_t hash = FrameHash(Pixels(surface));
    if (f == 0) {
      firstHash = hash;
      SavePngFile(surface, u"younger-native.png");
    }
    changed = changed || hash != firstHash;
  }
  return changed ? kSelfTestPassed : kSelfTestYoungerClipStill;
}

int CheckSampleBubbles(DesktopSurface& surface, std::span<const OfflineVerse> verses) {
  for (const OfflineVerse& verse : verses) {
    const int32_t height = MeasureBubbleText(verse.text);
    if (height > kMaximumSampleBubbleHeight) return kSelfTestBubbleTooTall;
    ResizeSurface(surface, kBubbleUnitsWide, height);
    SurfaceCanvas canvas(surface);
    DrawSampleBubble(canvas.graphics(), verse.text, height);
  }
  SavePngFile(surface, u"scripture-bubble.png");
  return kSelfTestPassed;
}

int CheckOfflineChoice(std::span<const OfflineVerse> verses,
                       std::span<const std::u16string> categories) {
  OfflineVerseBag bag;
  SeedOfflineVerseBag(bag, kOfflineSeed);
  for (int32_t c = 0; c < static_cast<int32_t>(categories.size()); ++c) {
    int32_t previous = -1;
    for (int draw = 0; draw < kDrawsPerCategory; ++draw) {
      const int32_t verse = DrawOfflineVerse(bag, c, verses, categories);
      if (verse == -1 || verse == previous) return kSelfTestOfflineChoiceBroken;
      if (c != 0 && verses[size_t(verse)].category != categories[size_t(c)]) {
        return kSelfTestOfflineChoiceBroken;
      }
      previous = verse;
    }
  }
  return kSelfTestPassed;
}

int RunSelfTest() {
  CharacterArt art;
  DesktopSurface surface;
  ResizeSurface(surface, kFrameWidth, kFrameHeight);

  for (int32_t clip = 0; clip < 9; ++clip) {
    if (const int result = CheckFullMotionClip(art, surface, clip)) return result;
  }
  if (const int result = CheckYoungerClip(art, surface)) return result;

  SetYounger(art, false);
  EnsureClip(art, 0);
  RenderTestFrame(art, surface, 0);
  SavePngFile(surface, u"character-idle.png");

  if (const int result = CheckSampleBubbles(surface, OfflineVerses)) return result;
  return CheckOfflineChoice(OfflineVerses, ScriptureCategories);
}

}  // namespace companion
