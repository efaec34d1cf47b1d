#pragma once
// The Scripture requests on the companion record: starting the worker and collecting its result,
// the current Scripture and its history, the offline verses and the automatic schedule. The
// sequences that show or hide a Scripture around these steps are app/'s.
#include <cstdint>
#include <optional>
#include <string>

#include "scripture/history.h"
#include "scripture/passage.h"
#include "scripture/requests.h"

namespace companion {

struct CompanionApp;

// Marks a request pending and starts the worker, unless one is already out (finished or not):
// that one serves the new ask too.
void StartScriptureRequest(CompanionApp& app, bool automatic);

struct CollectedScripture {
  CollectOutcome outcome = CollectOutcome::Drop;  // Drop also when nothing was ready
  OnlineVerse verse;
};
// Takes a finished result, never waiting for one, and decides what becomes of it. An attempt
// past kOnlineAttemptLimitMs is given up as failed.
CollectedScripture CollectScripture(CompanionApp& app);

// The next verse of the offline bag; none only when the table is empty.
std::optional<ScriptureHistoryEntry> NextOfflineVerse(CompanionApp& app);

// Makes `entry` the current Scripture (and the newest of the history when `addToHistory`); the
// request is answered and the automatic schedule waits until the bubble goes.
void SetCurrentScripture(CompanionApp& app, ScriptureHistoryEntry entry, bool addToHistory);

// The entry "Previous Scripture" shows, now current in the history; none when there is none.
std::optional<ScriptureHistoryEntry> PreviousScripture(CompanionApp& app);

// Nobody waits for the request out any more; its result will be dropped.
void DropScriptureRequest(CompanionApp& app);

// At exit: drops the request and ends its worker, waiting half a second at most instead of the
// network's time-outs, so the single-instance mutex is free again for a relaunch at once.
void EndScriptureRequest(CompanionApp& app);

// The gap to the next automatic Scripture starts again at `now` (none with a gap of 0).
void RestartSchedule(CompanionApp& app, uint64_t now);
// No automatic Scripture until the schedule restarts.
void StopSchedule(CompanionApp& app);
// One tick of the automatic schedule: whether an automatic Scripture is to be asked for now.
bool AutomaticScriptureDue(CompanionApp& app, uint64_t now);

}  // namespace companion
