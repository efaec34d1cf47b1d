// Loads the preferences as the companion does at start, prints the PositionX it read, then saves
// through the companion's own SavePreferences over and over, each save one PositionX higher, so
// that preferences_kill_e2e.sh can kill it at any moment of a save.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "base/companion_app_win.h"
#include "settings/preferences_win.h"

int wmain() {
  auto app = std::make_unique<companion::CompanionApp>();
  companion::LoadPreferences(*app);
  std::printf("%d\n", app->preferences.positionX);
  std::fflush(stdout);
  for (int save = 0; save < 100000; ++save) {
    ++app->preferences.positionX;
    companion::SavePreferences(*app);
  }
  return 0;
}
