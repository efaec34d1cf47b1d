#pragma once
// CompanionApp: the one state record of the running companion. Every operation of the program's
// own logic takes it as its first argument; the window procedures reach it through
// processCompanionApp.
//
// The groups are declared in release order reversed: the containers and the pending request go
// first, the art with its atlas, and last the two drawing surfaces, the bubble's before the
// figure's. Windows are not destroyed here: by the time the record goes, the companion window's
// destroy sequence has taken them down.
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
#include "bubble/bubble_layout.h"
#include "character/motion.h"
#include "scripture/catalogue.h"
#include "scripture/history.h"
#include "scripture/passage.h"
#include "settings/preferences.h"

namespace companion {

// Each group is written only by the subsystem named beside it; others read it. A sequence that
// crosses subsystems (presenting a Scripture, the tick, the menu's commands) lives in app/ and
// changes a group through its subsystem's operations.

// app/: the windows, what keeps the companion quiet (a locked session, a suspend, a full-screen
// program in front) and the once-a-second tick.
struct ShellGroup {
  HWND companionWindow = nullptr;
  HWND bubbleWindow = nullptr;
  HWND hintWindow = nullptr;
  UINT taskbarCreatedMessage = 0;
  uint64_t lastTraySelectTick = 0;  // the last select of the icon that was acted on
  uint64_t lastTickTick = 0;
  bool sessionLocked = false;
  bool suspended = false;
  bool fullScreenQuiet = false;
};

// character/: the art and the surface the figure is drawn into.
struct FigureGroup {
  DesktopSurface characterSurface;
  CharacterArt characterArt;
};

// settings/: every value the preferences file stores and the file itself. Placement
// (character/) keeps the figure's free position, its flag and its monitor here as it moves it:
// where the figure stands is stored as it is.
struct PreferenceGroup : PreferenceValues {
  std::u16string preferencesFolder;
  std::u16string preferencesPath;
  bool saveFailureReported = false;
};

// character/: the displays, the figure's scale and the drag.
struct PlacementGroup {
  std::vector<MonitorRecord> monitors;
  MonitorRecord currentMonitor;
  float characterScale = 1.0f;
  float fitScale = 1.0f;
  bool dragging = false;
  bool dragMoved = false;
  POINT dragStartCursor{};
  POINT dragStartWindow{};
  POINT dragLastCursor{};
};

// bubble/: the bubble's surface, place, size, content state and deadline.
struct BubbleGroup {
  DesktopSurface bubbleSurface;
  int32_t bubbleX = 0;
  int32_t bubbleY = 0;
  float bubbleScale = 1.0f;
  int32_t bubbleContentHeight = kDefaultBubbleContentHeight;
  bool bubbleVisible = false;
  bool supportPromptShown = false;
  uint64_t bubbleHideTick = 0;
  std::u16string hintText;
};

// scripture/: the offline bag, the request out, the schedule, the history and the current
// Scripture.
struct ScriptureGroup {
  // Drawn with a generator of its own.
  OfflineVerseBag offlineBag;
  std::vector<ScriptureHistoryEntry> scriptureHistory;
  int32_t historyIndex = -1;
  // The outstanding online request; invalid when none is out or its result was taken. Its worker
  // runs detached: dropping the future never waits for it.
  std::future<OnlineVerse> scriptureFuture;
  // When the worker of scriptureFuture started; 0 while none is out.
  uint64_t requestStartTick = 0;
  bool requestPending = false;
  bool requestAutomatic = false;
  uint64_t nextScriptureTick = 0;
  std::u16string currentText;
  std::u16string currentReference;
  std::u16string currentTranslation = u"web";
  bool currentOffline = false;
};

struct CompanionApp {
  CompanionApp();
  CompanionApp(const CompanionApp&) = delete;
  CompanionApp& operator=(const CompanionApp&) = delete;

  ShellGroup shell;
  FigureGroup figure;
  BubbleGroup bubble;
  PreferenceGroup preferences;
  ScriptureGroup scripture;
  PlacementGroup placement;
  MotionGroup motion;
  // settings/: the notification-area icon.
  NOTIFYICONDATAW trayIconData{};
  // Shared by all: seeds each online request, and gives the random delays and walk targets.
  std::mt19937 scriptureRandom;
};

// The record of the running companion: set right after construction, cleared right before
// destruction; null outside that span, when the window procedures only forward to DefWindowProcW.
inline CompanionApp* processCompanionApp = nullptr;

}  // namespace companion
