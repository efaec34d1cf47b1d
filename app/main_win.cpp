#include <windows.h>

#include "app/command_line.h"
#include "app/startup_win.h"
#include "base/wide_win.h"

// The switch is read from the full command line with the program's own rule (the same one the C
// runtime applies to build the argument below), so the rule is one tested function.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // A program run from a download folder must not load a DLL planted beside it. At start-up it
  // imports only Windows' core known DLLs, which always come from System32; GDI+, WinHTTP,
  // wtsapi32 and comctl32 are bound on first use, and from here on found in System32 only.
  // Nothing may load one of them before this line.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return companion::RunCompanion(instance,
                                 companion::SkipProgramName(companion::AsU16(GetCommandLineW())));
}
