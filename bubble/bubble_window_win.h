#pragma once
// The bubble window beside the character: rendering, hiding, clicks, and opening links.
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

// Hides the bubble, drops a pending request and schedules the next automatic Scripture. Every
// step but the first runs even when no bubble is on screen.
void HideBubble(CompanionApp& app);

// Opens `url` in the default browser; tells the user when Windows cannot.
void OpenUrl(HWND owner, const std::u16string& url);

// The Scripture bubble window's procedure.
LRESULT CALLBACK BubbleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace companion
