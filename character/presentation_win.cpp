#include "character/presentation_win.h"

#include <stdexcept>

#include "base/companion_app_win.h"
#include "character/motion_win.h"

namespace companion {

void RenderCharacter(CompanionApp& app, uint64_t now) {
  DesktopSurface& surface = app.characterSurface;
  // Before the first placement with a monitor the figure has no size, and nothing is drawn.
  if (surface.width == 0) return;
  CharacterArt& art = app.characterArt;
  EnsureClip(art, ClipForState(app.motionState, app.walkFromX, app.walkToX, app.riseFromSitting));
  const uint64_t clipMs = ClipDurationMs(art);
  const uint64_t elapsed =
      FrameElapsedMs(now, app.motionStartTick, clipMs, app.motionState, app.riseFromSitting);

  DrawScaledFrame(art, surface, app.characterScale, elapsed);

  const int32_t sink = SinkOffset(app, now);
  if (!PushLayeredFrame(surface, app.companionWindow, app.positionX, app.positionY + sink, 255)) {
    throw std::runtime_error("Windows could not display the transparent character");
  }
}

}  // namespace companion
