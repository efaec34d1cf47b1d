#pragma once
// Asking for a Scripture, collecting it from the worker, presenting it, the history behind
// "Previous Scripture", and the automatic schedule's steps of the once-a-second tick.
#include <cstdint>
#include <string>

namespace companion {

struct CompanionApp;

// Asks for a Scripture; the worker already out, finished or not, serves a further ask.
void RequestScripture(CompanionApp& app, bool automatic);

// Takes a finished result, never waiting for one, and presents it or an offline verse.
void CollectScripture(CompanionApp& app);

void ShowOfflineVerse(CompanionApp& app);

void PresentScripture(CompanionApp& app, std::u16string text, std::u16string reference,
                      std::u16string translationCode, bool offline, bool addToHistory);

void ShowPreviousScripture(CompanionApp& app);

// At exit: drops the request and ends its worker, waiting half a second at most instead of the
// network's time-outs, so the single-instance mutex is free again for a relaunch at once.
void EndScriptureRequest(CompanionApp& app);

// The Scripture steps of the once-a-second tick, each at the tick's now.
// Restart the schedule: the gap to the next automatic Scripture starts again.
void PromptTickRestartSchedule(CompanionApp& app, uint64_t now);
// Collect a finished request, then hide the bubble when its time is up.
void PromptTickCollectAndExpire(CompanionApp& app, uint64_t now);
// Ask for an automatic Scripture when the gap has run out (not while paused).
void PromptTickAutomatic(CompanionApp& app, uint64_t now);

}  // namespace companion
