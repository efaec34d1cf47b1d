#include "app/tick.h"

#include "scripture/requests.h"

namespace companion {

std::vector<TickStep> PlanTick(const TickInputs& in) {
  std::vector<TickStep> steps;
  if (TickGapRestartsSchedule(in.now, in.lastTickTick)) {
    steps.push_back(TickStep::RestartSchedule);
    steps.push_back(TickStep::SettleIdle);
  }
  if (in.sessionLocked || in.suspended || in.dragging) return steps;
  // The watch acts only on a change, so that an unlock or resume during full screen (which
  // leaves the figure hidden) is not undone here.
  if (in.fullScreenNow != in.fullScreenQuiet) {
    steps.push_back(in.fullScreenNow ? TickStep::EnterFullScreen : TickStep::LeaveFullScreen);
  }
  steps.push_back(TickStep::KeepTopmost);
  if (in.fullScreenNow) {
    steps.push_back(TickStep::RestartSchedule);
    return steps;
  }
  steps.push_back(TickStep::Collect);
  steps.push_back(TickStep::ExpireBubble);
  if (in.paused) {
    steps.push_back(TickStep::StopMotion);
    steps.push_back(TickStep::RestartSchedule);
    return steps;
  }
  steps.push_back(TickStep::AutomaticPrompt);
  steps.push_back(TickStep::Behaviour);
  return steps;
}

}  // namespace companion
