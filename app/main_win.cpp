#include <windows.h>

#include "app/command_line.h"
#include "app/startup_win.h"
#include "app/wide_win.h"

// The switch is read from the full command line with the program's own rule (the same one the C
// runtime applies to build the argument below), so the rule is one tested function.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return companion::RunCompanion(instance,
                                 companion::SkipProgramName(companion::AsU16(GetCommandLineW())));
}
