#include "app/tick.h"

#include <gtest/gtest.h>

namespace companion {
namespace {

using enum TickStep;

// The tick's order decides what a quiet companion may still do: each row is one situation of
// the running companion and every step its tick takes, in order.
TEST(PlanTick, EachSituationRunsItsStepsInOrder) {
  const uint64_t now = 100000;
  const uint64_t recent = now - 1000;
  const struct {
    const char* situation;
    TickInputs in;
    std::vector<TickStep> steps;
  } kCases[] = {
      {"an ordinary tick",
       {.now = now, .lastTickTick = recent},
       {KeepTopmost, Collect, ExpireBubble, AutomaticPrompt, Behaviour}},
      {"the first tick",
       {.now = now},
       {KeepTopmost, Collect, ExpireBubble, AutomaticPrompt, Behaviour}},
      {"after the machine slept",
       {.now = now, .lastTickTick = now - 5001},
       {RestartSchedule, SettleIdle, KeepTopmost, Collect, ExpireBubble, AutomaticPrompt,
        Behaviour}},
      {"just short of a gap",
       {.now = now, .lastTickTick = now - 5000},
       {KeepTopmost, Collect, ExpireBubble, AutomaticPrompt, Behaviour}},
      {"locked", {.now = now, .lastTickTick = recent, .sessionLocked = true}, {}},
      {"suspended, after a gap",
       {.now = now, .lastTickTick = 1, .suspended = true},
       {RestartSchedule, SettleIdle}},
      // Held back, the watch does not look: a drag over a full-screen window changes nothing.
      {"dragging",
       {.now = now, .lastTickTick = recent, .dragging = true, .fullScreenNow = true},
       {}},
      {"a full-screen program comes",
       {.now = now, .lastTickTick = recent, .fullScreenNow = true},
       {EnterFullScreen, KeepTopmost, RestartSchedule}},
      {"full screen goes on",
       {.now = now, .lastTickTick = recent, .fullScreenQuiet = true, .fullScreenNow = true},
       {KeepTopmost, RestartSchedule}},
      {"full screen ends",
       {.now = now, .lastTickTick = recent, .fullScreenQuiet = true},
       {LeaveFullScreen, KeepTopmost, Collect, ExpireBubble, AutomaticPrompt, Behaviour}},
      // Paused, a finished request is still collected and a bubble still goes at its time.
      {"paused",
       {.now = now, .lastTickTick = recent, .paused = true},
       {KeepTopmost, Collect, ExpireBubble, StopMotion, RestartSchedule}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(PlanTick(c.in), c.steps) << c.situation;
  }
}

}  // namespace
}  // namespace companion
