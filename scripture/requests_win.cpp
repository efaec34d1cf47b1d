#include "scripture/requests_win.h"

#include <chrono>
#include <future>
#include <thread>
#include <utility>

#include "base/companion_app_win.h"
#include "scripture/bible_client_win.h"
#include "scripture/catalogue.h"
#include "scripture/passage.h"
#include "scripture/requests.h"

namespace companion {

namespace {

// Longer than the worker needs between opening its request and its first network wait.
constexpr auto kEndRequestPatience = std::chrono::milliseconds(500);
constexpr auto kEndRequestStep = std::chrono::milliseconds(10);

}  // namespace

void StartScriptureRequest(CompanionApp& app, bool automatic) {
  app.scripture.requestPending = true;
  app.scripture.requestAutomatic = automatic;
  if (app.scripture.scriptureFuture.valid()) return;
  // The worker gets copies of all it needs; it shares nothing else with this thread. It runs
  // detached, so that dropping its future never waits for it (std::async's future would).
  // Books are kept beside the preferences; a companion without that folder keeps none.
  std::u16string bookCacheFolder = app.preferences.preferencesFolder.empty()
                                       ? u""
                                       : app.preferences.preferencesFolder + u"\\Books";
  std::packaged_task<OnlineVerse()> fetch(
      [translation = app.preferences.translationIndex, seed = app.scriptureRandom(),
       last = app.scripture.currentReference, folder = std::move(bookCacheFolder)] {
        return FetchOnlineVerse(translation, seed, last, folder);
      });
  app.scripture.scriptureFuture = fetch.get_future();
  std::thread(std::move(fetch)).detach();
  app.scripture.requestStartTick = GetTickCount64();
}

CollectedScripture CollectScripture(CompanionApp& app) {
  CollectedScripture collected;
  if (!app.scripture.scriptureFuture.valid()) return collected;
  OnlineVerse& result = collected.verse;
  if (app.scripture.scriptureFuture.wait_for(std::chrono::seconds(0)) ==
      std::future_status::ready) {
    result = app.scripture.scriptureFuture.get();
  } else if (OnlineAttemptOverdue(GetTickCount64(), app.scripture.requestStartTick)) {
    // Closing the request ends the worker's wait where the platform lets it (Wine's does not in
    // a stalled TLS handshake); either way the attempt has failed and the worker is let go.
    CancelBibleDownload();
    app.scripture.scriptureFuture = {};
    result.translationIndex = app.preferences.translationIndex;
  } else {
    return collected;
  }
  app.scripture.requestStartTick = 0;
  const CollectInputs inputs{app.scripture.requestPending, app.scripture.requestAutomatic,
                             app.preferences.paused,       result.ok,
                             result.translationIndex,      app.preferences.translationIndex};
  collected.outcome = DecideCollect(inputs);
  // Whatever comes of it, nobody waits for this request any more, except a new ask.
  if (collected.outcome != CollectOutcome::Drop && collected.outcome != CollectOutcome::AskAgain) {
    app.scripture.requestPending = false;
  }
  return collected;
}

std::optional<ScriptureHistoryEntry> NextOfflineVerse(CompanionApp& app) {
  const int32_t index =
      DrawOfflineVerse(app.scripture.offlineBag, 0, OfflineVerses, ScriptureCategories);
  if (index < 0) return std::nullopt;
  const OfflineVerse& verse = OfflineVerses[index];
  return ScriptureHistoryEntry{std::u16string(verse.text), std::u16string(verse.reference), u"web",
                               true};
}

void SetCurrentScripture(CompanionApp& app, ScriptureHistoryEntry entry, bool addToHistory) {
  ScriptureGroup& s = app.scripture;
  if (addToHistory) PushHistory(s.scriptureHistory, s.historyIndex, entry);
  s.currentText = std::move(entry.text);
  s.currentReference = std::move(entry.reference);
  s.currentTranslation = std::move(entry.translationCode);
  s.currentOffline = entry.offline;
  s.requestPending = false;
  // No automatic Scripture is due while one is on display; hiding it starts the gap.
  s.nextScriptureTick = 0;
}

std::optional<ScriptureHistoryEntry> PreviousScripture(CompanionApp& app) {
  const int32_t index =
      PreviousScriptureIndex(app.scripture.historyIndex, app.scripture.scriptureHistory.size(),
                             app.bubble.bubbleVisible && !app.bubble.supportPromptShown);
  if (index < 0) return std::nullopt;
  app.scripture.historyIndex = index;
  app.scripture.requestPending = false;
  // A copy: presenting must not read from the history it could change.
  return app.scripture.scriptureHistory[index];
}

void DropScriptureRequest(CompanionApp& app) {
  app.scripture.requestPending = false;
}

void EndScriptureRequest(CompanionApp& app) {
  app.scripture.requestPending = false;
  if (!app.scripture.scriptureFuture.valid()) return;
  // Closing the request ends the worker's network wait on Windows (not under Wine 8). It may not
  // have opened its request yet, so closing is repeated while the patience lasts; a worker still
  // running then is left to end with the process.
  const auto giveUp = std::chrono::steady_clock::now() + kEndRequestPatience;
  while (app.scripture.scriptureFuture.wait_for(kEndRequestStep) != std::future_status::ready &&
         std::chrono::steady_clock::now() < giveUp) {
    CancelBibleDownload();
  }
  app.scripture.scriptureFuture = {};
  app.scripture.requestStartTick = 0;
}

void RestartSchedule(CompanionApp& app, uint64_t now) {
  app.scripture.nextScriptureTick = RestartedScriptureTick(now, app.preferences.gapSeconds);
}

void StopSchedule(CompanionApp& app) {
  app.scripture.nextScriptureTick = 0;
}

bool AutomaticScriptureDue(CompanionApp& app, uint64_t now) {
  const PromptDecision decision =
      DecideAutomaticPrompt(now, app.scripture.nextScriptureTick, app.preferences.gapSeconds,
                            app.bubble.bubbleVisible || app.scripture.requestPending);
  app.scripture.nextScriptureTick = decision.nextScriptureTick;
  return decision.requestAutomatic;
}

}  // namespace companion
