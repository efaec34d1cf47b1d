#pragma once
// The bubble window beside the character: rendering, showing and hiding, its display time,
// clicks, and opening links.
#include <windows.h>

#include <string>

#include "bubble/bubble_layout.h"

namespace companion {

struct CompanionApp;

// The placement of the current content beside the character, from the record's plain values.
BubbleInputs GatherBubbleInputs(const CompanionApp& app);

// Places, draws, pushes and shows the bubble for the current content and refreshes the hint.
// Throws "Windows could not display the Scripture bubble" when the layered window is refused.
void RenderBubble(CompanionApp& app);

// The bubble is about to show the current Scripture: measured for it, marked visible.
void PrepareBubble(CompanionApp& app);
// The bubble is about to show the support message instead of a Scripture.
void PrepareSupportBubble(CompanionApp& app);
// Starts the display time of the bubble on screen: its deadline and the timer that checks it.
void StartBubbleTimer(CompanionApp& app);
// Whether the bubble on screen has had its display time at `now`.
bool BubbleTimeUp(const CompanionApp& app, uint64_t now);
// Hides the bubble window and its tip and stops its timer; the support message goes with it.
void PutBubbleAway(CompanionApp& app);

// Opens `url` in the default browser; tells the user when Windows cannot.
void OpenUrl(HWND owner, const std::u16string& url);

// The Scripture bubble window's procedure.
LRESULT CALLBACK BubbleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace companion
