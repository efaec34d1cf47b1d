#pragma once
// CompanionApp: the one state record of the running companion. Every operation of the program's
// own logic takes it as its first argument; the window procedures reach it through
// processCompanionApp.
//
// Members are declared in groups, and the declaration order is also the release order in
// reverse: the strings and containers first, then the pending request, the history, the offline
// bag, the art with its atlas, and last the two drawing surfaces, the bubble's before the figure's.
// Windows are not destroyed here: by the time the record goes, the companion window's destroy
// sequence has taken them down.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <future>
#include <random>
#include <string>
#include <vector>

#include "character/character_art_win.h"
#include "base/desktop_surface_win.h"
#include "base/monitor_win.h"
#include "character/motion.h"
#include "scripture/catalogue.h"
#include "scripture/history.h"
#include "scripture/passage.h"

namespace companion {

struct CompanionApp {
  CompanionApp();
  CompanionApp(const CompanionApp&) = delete;
  CompanionApp& operator=(const CompanionApp&) = delete;

  // Window handles.
  HWND companionWindow = nullptr;
  HWND bubbleWindow = nullptr;
  HWND hintWindow = nullptr;

  // Drawing surfaces.
  DesktopSurface characterSurface;
  DesktopSurface bubbleSurface;

  // Character art.
  CharacterArt characterArt;

  // Preference values (the younger flag lives in characterArt).
  int32_t displaySeconds = 10;
  int32_t gapSeconds = 60;
  int32_t translationIndex = 0;
  int32_t sizeMultiple = 1;
  int32_t scripturesViewed = 0;
  int32_t categoryIndex = 0;
  int32_t promptMinutes = 0;
  bool movementEnabled = true;
  bool paused = false;
  std::u16string monitorDevice;

  // Offline backup verses, drawn with a generator of their own.
  OfflineVerseBag offlineBag;

  // Scripture history and schedule.
  std::vector<ScriptureHistoryEntry> scriptureHistory;
  // The outstanding online request; invalid when none is out or its result was taken. Its worker
  // runs detached: dropping the future never waits for it.
  std::future<OnlineVerse> scriptureFuture;
  // When the worker of scriptureFuture started; 0 while none is out.
  uint64_t requestStartTick = 0;
  int32_t historyIndex = -1;
  uint64_t nextScriptureTick = 0;
  bool requestPending = false;
  bool requestAutomatic = false;
  bool currentOffline = false;

  // Current Scripture, then the text of the bubble's hint.
  std::u16string currentText;
  std::u16string currentReference;
  std::u16string currentTranslation = u"web";
  std::u16string hintText;

  // Shared generator: seeds each online request, and gives the random delays and walk targets.
  std::mt19937 scriptureRandom;

  // Monitors.
  std::vector<MonitorRecord> monitors;
  MonitorRecord currentMonitor;

  // Tray.
  NOTIFYICONDATAW trayIconData{};
  uint64_t lastTraySelectTick = 0;  // the last select of the icon that was acted on

  // Shell.
  UINT taskbarCreatedMessage = 0;

  // Preference files.
  std::u16string preferencesFolder;
  std::u16string preferencesPath;

  // Positions.
  int32_t positionX = 0;
  int32_t positionY = 0;
  int32_t bubbleX = 0;
  int32_t bubbleY = 0;

  // Sizes and scales.
  int32_t bubbleContentHeight = 260;
  float characterScale = 1.0f;
  float bubbleScale = 1.0f;
  float fitScale = 1.0f;

  // Flags.
  bool supportPromptShown = false;
  bool bubbleVisible = false;
  bool sessionLocked = false;
  bool suspended = false;
  bool fullScreenQuiet = false;
  bool motionTimerRunning = false;
  bool saveFailureReported = false;
  bool dragging = false;
  bool dragMoved = false;
  bool freePlacement = false;

  // Drag geometry.
  POINT dragStartCursor{};
  POINT dragStartWindow{};
  POINT dragLastCursor{};

  // Motion.
  MotionState motionState = MotionState::Idle;
  double walkFromX = 0;
  double walkToX = 0;
  uint64_t idleActionTick = 0;
  uint64_t clipReplayTick = 0;

  // Deadlines.
  uint64_t bubbleHideTick = 0;
  uint64_t lastTickTick = 0;

  // Motion timing.
  uint64_t motionStartTick = 0;
  uint64_t lastInteractionTick = 0;
  bool riseFromSitting = false;
  bool waveAfterRise = false;
  uint64_t motionFrozenTick = 0;
};

// The record of the running companion: set right after construction, cleared right before
// destruction; null outside that span, when the window procedures only forward to DefWindowProcW.
inline CompanionApp* processCompanionApp = nullptr;

}  // namespace companion
