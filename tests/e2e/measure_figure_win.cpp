// A measured run, not a test: what animating the figure costs in this process. Prints the CPU time
// RenderCharacter takes per frame at the three sizes, the CPU time to load an atlas, and the peak
// working set and private bytes once every clip of both figures has played through at the
// largest size.
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>
#include <psapi.h>

#include <cstdio>
#include <exception>
#include <utility>

#include "base/companion_app_win.h"
#include "character/presentation_win.h"
#include "tests/live_companion_win.h"

namespace companion {
namespace {

// CPU time of this process: the machine may be busy with other work, which wall time would count.
double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

constexpr uint64_t kStart = 1000000;

// Plays the clip of `state` from its first frame to its last, one render per frame.
double PlayMsPerFrame(CompanionApp& app, MotionState state, bool younger) {
  SetYounger(app.figure.characterArt, younger);
  app.motion.motionState = state;
  app.motion.motionStartTick = kStart;
  EnsureClip(app.figure.characterArt,
             ClipForState(state, app.motion.walkFromX, app.motion.walkToX, false));
  const int32_t frames = CurrentClip(app.figure.characterArt).frameCount;
  const double start = CpuMs();
  for (int32_t frame = 0; frame < frames; ++frame) {
    RenderCharacter(app, kStart + (uint64_t(frame) * 1000 + 23) / 24);
  }
  return (CpuMs() - start) / frames;
}

void SetScale(CompanionApp& app, float scale) {
  app.placement.characterScale = scale;
  ResizeSurface(app.figure.characterSurface, int32_t(280 * scale), int32_t(190 * scale));
}

int Measure() {
  testing::LiveCompanion live;
  CompanionApp& app = live.app();
  app.placement.currentMonitor.info.rcMonitor = {0, 0, 1920, 1080};
  app.placement.currentMonitor.info.rcWork = {0, 0, 1920, 1040};
  app.preferences.positionX = 800;
  app.preferences.positionY = 700;
  ShowWindow(app.shell.companionWindow, SW_SHOWNOACTIVATE);

  const double loadStart = CpuMs();
  EnsureClip(app.figure.characterArt, 3);
  std::printf("measured: loading the wave's atlas (192 frames) took %.1f ms of CPU\n",
              CpuMs() - loadStart);

  for (const float scale : {0.375f, 0.75f, 1.125f}) {
    SetScale(app, scale);
    std::printf("measured: RenderCharacter at scale %.3f: %.2f ms of CPU per frame of the wave\n",
                scale, PlayMsPerFrame(app, MotionState::Wave, false));
  }

  const std::pair<MotionState, bool> kClips[] = {
      {MotionState::Idle, false},    {MotionState::Walk, false},   {MotionState::Wave, false},
      {MotionState::SitDown, false}, {MotionState::Seated, false}, {MotionState::LieDown, false},
      {MotionState::Asleep, false},  {MotionState::Rise, false},   {MotionState::Idle, true}};
  for (const auto& [state, younger] : kClips)
    PlayMsPerFrame(app, state, younger);
  app.motion.walkFromX = 1;  // the walk towards smaller x
  app.motion.walkToX = 0;
  PlayMsPerFrame(app, MotionState::Walk, false);

  // Private bytes are the commit charge (PagefileUsage); Wine leaves PrivateUsage at 0.
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  const auto mb = [](SIZE_T bytes) { return double(bytes) / 1048576.0; };
  std::printf(
      "measured: after all ten clips at scale 1.125: peak working set %.1f MB, peak "
      "private bytes %.1f MB; now %.1f MB and %.1f MB\n",
      mb(memory.PeakWorkingSetSize), mb(memory.PeakPagefileUsage), mb(memory.WorkingSetSize),
      mb(memory.PagefileUsage));
  return 0;
}

}  // namespace
}  // namespace companion

int wmain() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  int result = 1;
  try {
    result = companion::Measure();
  } catch (const std::exception& error) {
    std::printf("measure_figure: %s\n", error.what());
  }
  Gdiplus::GdiplusShutdown(token);
  CoUninitialize();
  return result;
}
