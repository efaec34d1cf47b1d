#include "scripture/requests_win.h"

#include <chrono>
#include <future>
#include <thread>
#include <utility>

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "bubble/bubble_drawing_win.h"
#include "bubble/bubble_window_win.h"
#include "character/motion_win.h"
#include "character/presentation_win.h"
#include "scripture/bible_client_win.h"
#include "scripture/catalogue.h"
#include "scripture/passage.h"
#include "scripture/requests.h"
#include "settings/preferences_win.h"

namespace companion {

namespace {

bool ScriptureHeldBack(const CompanionApp& app) {
  return app.shell.sessionLocked || app.shell.suspended || app.placement.fullScreenQuiet;
}

// Longer than the worker needs between opening its request and its first network wait.
constexpr auto kEndRequestPatience = std::chrono::milliseconds(500);
constexpr auto kEndRequestStep = std::chrono::milliseconds(10);

}  // namespace

void RequestScripture(CompanionApp& app, bool automatic) {
  if (ScriptureHeldBack(app)) return;
  if (app.bubble.bubbleVisible) HideBubble(app);
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

void CollectScripture(CompanionApp& app) {
  if (!app.scripture.scriptureFuture.valid()) return;
  OnlineVerse result;
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
    return;
  }
  app.scripture.requestStartTick = 0;
  const CollectInputs inputs{app.scripture.requestPending, app.scripture.requestAutomatic,
                             app.preferences.paused,       result.ok,
                             result.translationIndex,      app.preferences.translationIndex};
  switch (DecideCollect(inputs)) {
    case CollectOutcome::Drop:
      return;
    case CollectOutcome::DropPaused:
      app.scripture.requestPending = false;
      return;
    case CollectOutcome::AskAgain:
      RequestScripture(app, app.scripture.requestAutomatic);
      return;
    case CollectOutcome::Present:
      app.scripture.requestPending = false;
      PresentScripture(app, result.text, result.reference,
                       TranslationTable[result.translationIndex].code, false, true);
      return;
    case CollectOutcome::PresentOffline:
      app.scripture.requestPending = false;
      ShowOfflineVerse(app);
      return;
  }
}

void ShowOfflineVerse(CompanionApp& app) {
  const int32_t index =
      DrawOfflineVerse(app.scripture.offlineBag, 0, OfflineVerses, ScriptureCategories);
  if (index < 0) return;
  const OfflineVerse& verse = OfflineVerses[index];
  PresentScripture(app, verse.text, verse.reference, u"web", true, true);
}

void PresentScripture(CompanionApp& app, std::u16string text, std::u16string reference,
                      std::u16string translationCode, bool offline, bool addToHistory) {
  if (addToHistory) {
    PushHistory(app.scripture.scriptureHistory, app.scripture.historyIndex,
                ScriptureHistoryEntry{text, reference, translationCode, offline});
  }
  const uint64_t now = GetTickCount64();
  app.scripture.currentText = std::move(text);
  app.scripture.currentReference = std::move(reference);
  app.scripture.currentTranslation = std::move(translationCode);
  app.scripture.currentOffline = offline;
  app.bubble.supportPromptShown = false;
  app.scripture.requestPending = false;
  app.bubble.bubbleContentHeight = MeasureBubbleText(app.scripture.currentText);
  app.bubble.bubbleVisible = true;
  app.motion.lastInteractionTick = now;
  GreetUser(app, now);
  RenderCharacter(app, now);
  RenderBubble(app);
  app.preferences.scripturesViewed = RaisedScripturesViewed(app.preferences.scripturesViewed);
  SavePreferences(app);
  const UINT displayMs = static_cast<UINT>(app.preferences.displaySeconds) * 1000;
  app.bubble.bubbleHideTick = GetTickCount64() + displayMs;
  SetTimer(app.shell.companionWindow, TIMER_BUBBLE, displayMs, nullptr);
  app.scripture.nextScriptureTick = 0;
}

void ShowPreviousScripture(CompanionApp& app) {
  if (ScriptureHeldBack(app)) return;
  const int32_t index =
      PreviousScriptureIndex(app.scripture.historyIndex, app.scripture.scriptureHistory.size(),
                             app.bubble.bubbleVisible && !app.bubble.supportPromptShown);
  if (index < 0) return;
  app.scripture.historyIndex = index;
  // A copy: presenting must not read from the history it could change.
  const ScriptureHistoryEntry entry = app.scripture.scriptureHistory[index];
  app.scripture.requestPending = false;
  PresentScripture(app, entry.text, entry.reference, entry.translationCode, entry.offline, false);
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

void PromptTickRestartSchedule(CompanionApp& app, uint64_t now) {
  app.scripture.nextScriptureTick = RestartedScriptureTick(now, app.preferences.gapSeconds);
}

void PromptTickCollectAndExpire(CompanionApp& app, uint64_t now) {
  CollectScripture(app);
  if (app.bubble.bubbleVisible && now >= app.bubble.bubbleHideTick) HideBubble(app);
}

void PromptTickAutomatic(CompanionApp& app, uint64_t now) {
  if (app.preferences.paused) return;
  const PromptDecision decision =
      DecideAutomaticPrompt(now, app.scripture.nextScriptureTick, app.preferences.gapSeconds,
                            app.bubble.bubbleVisible || app.scripture.requestPending);
  app.scripture.nextScriptureTick = decision.nextScriptureTick;
  if (decision.requestAutomatic) RequestScripture(app, true);
}

}  // namespace companion
