#pragma once
// The rules of the Scripture flow over plain values: which state a request is in, what becomes
// of a finished result, when the automatic schedule asks for the next Scripture, and the short
// history behind "Previous Scripture". requests_win.cpp applies them to the running companion.
#include <cstdint>
#include <vector>

#include "scripture/history.h"

namespace companion {

inline constexpr std::size_t kHistoryCapacity = 6;
inline constexpr int32_t kMaxScripturesViewed = 50;
// A tick that comes this much later than the one before means the machine slept or the thread
// stalled, and the gap to the next automatic Scripture starts again.
inline constexpr uint64_t kTickGapRestartMs = 5000;

// However the network behaves, an online attempt is given up this long after its worker started:
// its request is closed, the worker is let go and an offline verse shows at that tick. The
// time-outs of single network steps do not bound the whole attempt (a drip of bytes restarts the
// receive time-out), and under Wine they do not bound a stalled TLS handshake at all.
inline constexpr uint64_t kOnlineAttemptLimitMs = 10000;

enum class CollectOutcome {
  Drop,            // nobody waits for it any more
  DropPaused,      // an automatic ask that came due before pausing; the ask ends too
  AskAgain,        // made for a translation no longer selected
  Present,         // show the fetched Scripture
  PresentOffline,  // the online attempt failed; show an offline verse
};

struct CollectInputs {
  bool requestPending = false;
  bool requestAutomatic = false;
  bool paused = false;
  bool resultOk = false;
  int32_t resultTranslation = 0;
  int32_t selectedTranslation = 0;
};

CollectOutcome DecideCollect(const CollectInputs& in);

// Whether the attempt whose worker started at `startTick` (0: none out) is to be given up.
bool OnlineAttemptOverdue(uint64_t now, uint64_t startTick);

// When the automatic schedule next asks: now + the gap, or 0 (none) when the gap is 0.
uint64_t RestartedScriptureTick(uint64_t now, int32_t gapSeconds);

// The tick handler's first step: the schedule restarts after a pause in the ticks.
bool TickGapRestartsSchedule(uint64_t now, uint64_t lastTickTick);

struct PromptDecision {
  uint64_t nextScriptureTick = 0;
  bool requestAutomatic = false;  // ask for an automatic Scripture now
};

// The automatic prompt of one tick while not paused; busy = a bubble is up or a request pending,
// and then the gap is measured from the end of the display or the wait.
PromptDecision DecideAutomaticPrompt(uint64_t now, uint64_t nextScriptureTick, int32_t gapSeconds,
                                     bool busy);

// Remembers a presented Scripture: the same text, reference and code as the newest entry only
// makes that entry current; at most six entries, the oldest goes first.
void PushHistory(std::vector<ScriptureHistoryEntry>& history, int32_t& historyIndex,
                 ScriptureHistoryEntry entry);

// Which history entry "Previous Scripture" presents, or -1 for none. With a Scripture on display
// it steps back one entry (none before the oldest); otherwise it shows the current entry again.
int32_t PreviousScriptureIndex(int32_t historyIndex, std::size_t historySize,
                               bool scriptureOnDisplay);

int32_t RaisedScripturesViewed(int32_t scripturesViewed);

}  // namespace companion
