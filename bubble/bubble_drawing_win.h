#pragma once
// The bubble drawn with GDI+ in bubble units: white rounded body, dark outline, a tail towards
// the character, one block of serif text; and the hint beside it.
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>

namespace companion {

struct CompanionApp;

// Unscaled bubble height for a body text: its wrapped height + 60, at least 85, at most 1060.
int32_t MeasureBubbleText(const std::u16string& text);

// Draws the whole bubble into a graphics the caller has configured and scaled; `tailX` is the
// tail tip's x in bubble units, `tailAtTop` when the bubble stands below the character.
void DrawBubble(Gdiplus::Graphics& graphics, const std::u16string& body, int32_t height,
                float tailX, bool tailAtTop);

// The self-test's bubble: tail in the middle of the width, at the bottom.
void DrawSampleBubble(Gdiplus::Graphics& graphics, const std::u16string& text, int32_t height);

// Gives the hint window the text for what the bubble now shows.
void UpdateBubbleHint(CompanionApp& app);

}  // namespace companion
