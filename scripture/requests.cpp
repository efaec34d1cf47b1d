#include "scripture/requests.h"

#include <algorithm>
#include <utility>

#include "base/messages.h"

namespace companion {

CollectOutcome DecideCollect(const CollectInputs& in) {
  if (!in.requestPending) return CollectOutcome::Drop;
  if (in.requestAutomatic && in.paused) return CollectOutcome::DropPaused;
  if (in.resultTranslation != in.selectedTranslation) return CollectOutcome::AskAgain;
  return in.resultOk ? CollectOutcome::Present : CollectOutcome::PresentOffline;
}

uint64_t RestartedScriptureTick(uint64_t now, int32_t gapSeconds) {
  if (gapSeconds <= 0) return 0;
  return now + static_cast<uint64_t>(gapSeconds) * kMsPerSecond;
}

bool OnlineAttemptOverdue(uint64_t now, uint64_t startTick) {
  return startTick != 0 && now >= startTick && now - startTick >= kOnlineAttemptLimitMs;
}

bool TickGapRestartsSchedule(uint64_t now, uint64_t lastTickTick) {
  return lastTickTick != 0 && now > lastTickTick && now - lastTickTick > kTickGapRestartMs;
}

PromptDecision DecideAutomaticPrompt(uint64_t now, uint64_t nextScriptureTick, int32_t gapSeconds,
                                     bool busy) {
  if (gapSeconds == 0) return {0, false};
  if (busy) return {RestartedScriptureTick(now, gapSeconds), false};
  if (nextScriptureTick == 0) return {RestartedScriptureTick(now, gapSeconds), false};
  if (now >= nextScriptureTick) return {0, true};
  return {nextScriptureTick, false};
}

void PushHistory(std::vector<ScriptureHistoryEntry>& history, int32_t& historyIndex,
                 ScriptureHistoryEntry entry) {
  if (!history.empty()) {
    const ScriptureHistoryEntry& newest = history.back();
    if (newest.text == entry.text && newest.reference == entry.reference &&
        newest.translationCode == entry.translationCode) {
      historyIndex = static_cast<int32_t>(history.size()) - 1;
      return;
    }
  }
  history.push_back(std::move(entry));
  if (history.size() > kHistoryCapacity) {
    history.erase(history.begin(), history.end() - kHistoryCapacity);
  }
  historyIndex = static_cast<int32_t>(history.size()) - 1;
}

int32_t PreviousScriptureIndex(int32_t historyIndex, std::size_t historySize,
                               bool scriptureOnDisplay) {
  // An index past the end cannot be presented; treat it as no history rather than read beyond.
  if (historyIndex < 0 || static_cast<std::size_t>(historyIndex) >= historySize) return -1;
  if (!scriptureOnDisplay) return historyIndex;
  return historyIndex == 0 ? -1 : historyIndex - 1;
}

int32_t RaisedScripturesViewed(int32_t scripturesViewed) {
  return std::min(kMaxScripturesViewed, std::max(0, scripturesViewed) + 1);
}

}  // namespace companion
