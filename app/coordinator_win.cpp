#include "app/coordinator_win.h"

#include <windows.h>

#include <utility>

#include "app/tick.h"
#include "base/companion_app_win.h"
#include "base/messages.h"
#include "bubble/bubble_window_win.h"
#include "character/motion_win.h"
#include "character/placement_win.h"
#include "character/presentation_win.h"
#include "scripture/catalogue.h"
#include "scripture/requests_win.h"
#include "settings/preferences_win.h"

namespace companion {

namespace {

bool ScriptureHeldBack(const CompanionApp& app) {
  return app.shell.sessionLocked || app.shell.suspended || app.shell.fullScreenQuiet;
}

// What lock and suspend have in common: no drag, no bubble, no motion, no clock, no figure.
void QuietenCompanion(CompanionApp& app) {
  EndDrag(app);
  HideBubble(app);
  StopMotionTimer(app);
  KillTimer(app.shell.companionWindow, TIMER_TICK);
  ShowWindow(app.shell.companionWindow, SW_HIDE);
}

// The full-screen watch acts on a change only: the figure and its bubble give way to a
// full-screen program and come back once it has gone.
void EnterFullScreen(CompanionApp& app) {
  app.shell.fullScreenQuiet = true;
  HideBubble(app);
  ShowWindow(app.shell.companionWindow, SW_HIDE);
  StopMotionTimer(app);
}

void LeaveFullScreen(CompanionApp& app, uint64_t now) {
  app.shell.fullScreenQuiet = false;
  PlaceCharacter(app, false);
  RenderCharacter(app, now);
  ShowWindow(app.shell.companionWindow, SW_SHOWNOACTIVATE);
  ResumeMotion(app);
}

void RunTickStep(CompanionApp& app, TickStep step, uint64_t now) {
  switch (step) {
    case TickStep::RestartSchedule:
      RestartSchedule(app, now);
      break;
    case TickStep::SettleIdle:
      SetMotionState(app, MotionState::Idle, now);
      break;
    case TickStep::EnterFullScreen:
      EnterFullScreen(app);
      break;
    case TickStep::LeaveFullScreen:
      LeaveFullScreen(app, now);
      break;
    case TickStep::KeepTopmost:
      KeepTopmost(app);
      break;
    case TickStep::Collect:
      CollectAndPresent(app);
      break;
    case TickStep::ExpireBubble:
      if (BubbleTimeUp(app, now)) HideBubble(app);
      break;
    case TickStep::StopMotion:
      StopMotionTimer(app);
      break;
    case TickStep::AutomaticPrompt:
      if (AutomaticScriptureDue(app, now)) RequestScripture(app, true);
      break;
    case TickStep::Behaviour:
      BehaviourTick(app, now);
      break;
  }
}

}  // namespace

void RequestScripture(CompanionApp& app, bool automatic) {
  if (ScriptureHeldBack(app)) return;
  if (app.bubble.bubbleVisible) HideBubble(app);
  StartScriptureRequest(app, automatic);
}

void PresentScripture(CompanionApp& app, ScriptureHistoryEntry entry, bool addToHistory) {
  const uint64_t now = GetTickCount64();
  SetCurrentScripture(app, std::move(entry), addToHistory);
  PrepareBubble(app);
  GreetUser(app, now);
  RenderCharacter(app, now);
  RenderBubble(app);
  CountScriptureViewed(app);
  StartBubbleTimer(app);
}

void CollectAndPresent(CompanionApp& app) {
  CollectedScripture collected = CollectScripture(app);
  switch (collected.outcome) {
    case CollectOutcome::Drop:
    case CollectOutcome::DropPaused:
      return;
    case CollectOutcome::AskAgain:
      RequestScripture(app, app.scripture.requestAutomatic);
      return;
    case CollectOutcome::Present: {
      OnlineVerse& verse = collected.verse;
      PresentScripture(app,
                       {std::move(verse.text), std::move(verse.reference),
                        std::u16string(TranslationTable[verse.translationIndex].code), false},
                       true);
      return;
    }
    case CollectOutcome::PresentOffline:
      ShowOfflineVerse(app);
      return;
  }
}

void ShowOfflineVerse(CompanionApp& app) {
  if (auto verse = NextOfflineVerse(app)) PresentScripture(app, std::move(*verse), true);
}

void ShowPreviousScripture(CompanionApp& app) {
  if (ScriptureHeldBack(app)) return;
  if (auto entry = PreviousScripture(app)) PresentScripture(app, std::move(*entry), false);
}

void HideBubble(CompanionApp& app) {
  if (app.bubble.bubbleVisible && app.bubble.supportPromptShown) ForgetScripturesViewed(app);
  DropScriptureRequest(app);
  PutBubbleAway(app);
  const uint64_t now = GetTickCount64();
  RestAfterBubble(app, now);
  RestartSchedule(app, now);
}

void ApplyClickRule(CompanionApp& app) {
  if (!app.bubble.bubbleVisible && !app.scripture.requestPending) {
    RequestScripture(app, false);
  } else {
    HideBubble(app);
  }
}

void CompanionTick(CompanionApp& app) {
  const uint64_t now = GetTickCount64();
  const ShellGroup& shell = app.shell;
  const bool held = shell.sessionLocked || shell.suspended || app.placement.dragging;
  const std::vector<TickStep> steps = PlanTick({.now = now,
                                                .lastTickTick = shell.lastTickTick,
                                                .sessionLocked = shell.sessionLocked,
                                                .suspended = shell.suspended,
                                                .dragging = app.placement.dragging,
                                                .fullScreenQuiet = shell.fullScreenQuiet,
                                                .fullScreenNow = !held && IsFullScreen(app),
                                                .paused = app.preferences.paused});
  app.shell.lastTickTick = now;
  for (const TickStep step : steps)
    RunTickStep(app, step, now);
}

void LockSession(CompanionApp& app) {
  app.shell.sessionLocked = true;
  QuietenCompanion(app);
}

void UnlockSession(CompanionApp& app) {
  app.shell.sessionLocked = false;
  SetSuspended(app, false);
}

void SetSuspended(CompanionApp& app, bool suspend) {
  if (suspend) {
    app.shell.suspended = true;
    QuietenCompanion(app);
    return;
  }
  app.shell.suspended = false;
  PlaceCharacter(app, false);
  const uint64_t now = GetTickCount64();
  SetMotionState(app, MotionState::Idle, now);
  RestartSchedule(app, now);
  app.shell.lastTickTick = 0;
  RenderCharacter(app, now);
  // A full-screen program still in front keeps the figure hidden: the full-screen watch shows it
  // once that program ends, which it notices only as a change.
  if (!app.shell.sessionLocked && !app.shell.fullScreenQuiet) {
    ShowWindow(app.shell.companionWindow, SW_SHOWNOACTIVATE);
  }
  SetTimer(app.shell.companionWindow, TIMER_TICK, kTickPeriodMs, nullptr);
}

}  // namespace companion
