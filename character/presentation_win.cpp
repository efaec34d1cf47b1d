#include "character/presentation_win.h"

#include <stdexcept>

#include "base/companion_app_win.h"
#include "character/motion_win.h"

namespace companion {

void RenderCharacter(CompanionApp& app, uint64_t now) {
  DesktopSurface& surface = app.figure.characterSurface;
  // Before the first placement with a monitor the figure has no size, and nothing is drawn.
  if (surface.width == 0) return;
  CharacterArt& art = app.figure.characterArt;
  EnsureClip(art, ClipForState(app.motion.motionState, app.motion.walkFromX, app.motion.walkToX,
                               app.motion.riseFromSitting));
  const uint64_t clipMs = ClipDurationMs(art);
  const uint64_t elapsed = FrameElapsedMs(now, app.motion.motionStartTick, clipMs,
                                          app.motion.motionState, app.motion.riseFromSitting);

  DrawClipFrame(art, surface, app.placement.characterScale, elapsed);

  const int32_t sink = SinkOffset(app, now);
  if (!PushLayeredFrame(surface, app.shell.companionWindow, app.preferences.positionX,
                        app.preferences.positionY + sink, kOpaque)) {
    throw std::runtime_error("Windows could not display the transparent character");
  }
}

}  // namespace companion
