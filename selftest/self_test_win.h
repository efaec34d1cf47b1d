#pragma once
// The off-screen self-test: renders every frame of every clip and the sample bubbles, checks
// them, writes a few PNG files into the current directory and returns the process exit code.
#include <cstdint>
#include <span>
#include <string>

#include "scripture/catalogue.h"

namespace companion {

struct CharacterArt;
struct DesktopSurface;

inline constexpr int kSelfTestPassed = 0;
inline constexpr int kSelfTestFrameBroken = 14;
inline constexpr int kSelfTestOfflineChoiceBroken = 15;
inline constexpr int kSelfTestClipStill = 16;
inline constexpr int kSelfTestBubbleTooTall = 17;
inline constexpr int kSelfTestYoungerFrameBroken = 20;
inline constexpr int kSelfTestYoungerClipStill = 21;

inline constexpr int32_t kMaximumSampleBubbleHeight = 420;

int RunSelfTest();

// The phases of the run, each returning kSelfTestPassed or its failure code. They use the art's
// loaded atlas when it already belongs to the clip, which lets a test hand them broken art.
int CheckFullMotionClip(CharacterArt& art, DesktopSurface& surface, int32_t clip);
int CheckYoungerClip(CharacterArt& art, DesktopSurface& surface);
int CheckSampleBubbles(DesktopSurface& surface, std::span<const OfflineVerse> verses);
int CheckOfflineChoice(std::span<const OfflineVerse> verses,
                       std::span<const std::u16string> categories);

}  // namespace companion
