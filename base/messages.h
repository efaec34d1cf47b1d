#pragma once
// Private window messages and timer ids of the companion window.
#include <cstdint>

namespace companion {

// Posted by the notification-area icon (version-4 layout: the event is lParam's low word).
inline constexpr uint32_t WM_COMPANION_TRAY = 0x8001;
// Posted by a second instance: the running companion shows a Scripture.
inline constexpr uint32_t WM_COMPANION_SHOW = 0x8003;

inline constexpr uintptr_t TIMER_TICK = 1;
inline constexpr uintptr_t TIMER_MOTION = 2;
inline constexpr uintptr_t TIMER_DRAG = 3;
inline constexpr uintptr_t TIMER_BUBBLE = 4;

inline constexpr uint32_t kMsPerSecond = 1000;
inline constexpr uint32_t kTickPeriodMs = kMsPerSecond;
inline constexpr uint32_t kMotionPeriodMs = 41;
inline constexpr uint32_t kDragPeriodMs = 16;

inline constexpr char16_t kCompanionClassName[] = u"ScrollwickCompanion.V1";
inline constexpr char16_t kBubbleClassName[] = u"ScrollwickCompanion.Bubble.V1";
inline constexpr char16_t kCompanionTitle[] = u"Scrollwick Companion";
inline constexpr char16_t kBubbleTitle[] = u"Scripture";
inline constexpr char16_t kInstanceMutexName[] = u"Local\\ScrollwickCompanion.V1";

}  // namespace companion
