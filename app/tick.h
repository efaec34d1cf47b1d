#pragma once
// The once-a-second tick's decisions over plain values: which steps run, in which order. The
// coordinator runs exactly these steps; each step's own rule (the automatic prompt, the bubble's
// deadline, the figure's behaviour) is its subsystem's.
#include <cstdint>
#include <vector>

namespace companion {

enum class TickStep {
  RestartSchedule,  // the gap to the next automatic Scripture starts again
  SettleIdle,       // the figure stands idle (after a pause in the ticks)
  EnterFullScreen,  // a full-screen program came to the front: bubble and figure go
  LeaveFullScreen,  // it went: the figure is placed, drawn and shown again
  KeepTopmost,      // the figure and its bubble go back over a raised taskbar
  Collect,          // a finished request is presented (or an offline verse)
  ExpireBubble,     // the bubble goes once its display time is up
  StopMotion,       // paused: the figure keeps still
  AutomaticPrompt,  // the automatic schedule asks when the gap has run out
  Behaviour,        // the figure's idle behaviour
};

struct TickInputs {
  uint64_t now = 0;
  uint64_t lastTickTick = 0;  // 0 before the first tick or after a resume
  bool sessionLocked = false;
  bool suspended = false;
  bool dragging = false;
  bool fullScreenQuiet = false;  // as the previous tick left it
  bool fullScreenNow = false;    // what the watch sees now
  bool paused = false;
};

std::vector<TickStep> PlanTick(const TickInputs& in);

}  // namespace companion
