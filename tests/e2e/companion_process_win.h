#pragma once
// Starts the real ScrollwickCompanion.exe (next to the test program) and drives it from outside.
#include <windows.h>

#include <string>

namespace companion::e2e {

class CompanionProcess {
 public:
  // Starts the program with the given text after its name, in workingFolder when one is given.
  explicit CompanionProcess(const std::wstring& arguments, const std::wstring& workingFolder = {});
  ~CompanionProcess();
  CompanionProcess(const CompanionProcess&) = delete;
  CompanionProcess& operator=(const CompanionProcess&) = delete;

  // Waits for the process to end; returns its exit code, or -1 on time-out.
  int WaitForExit(DWORD timeoutMs = 20000);
  bool Running() const;

 private:
  PROCESS_INFORMATION info_{};
};

// Whether done() became true within timeoutMs, checked every 20 ms.
template <typename Predicate>
bool WaitUntil(DWORD timeoutMs, Predicate done) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

// Runs the program to completion and returns its exit code (-1 on time-out).
int RunCompanionToExit(const std::wstring& arguments, DWORD timeoutMs = 20000,
                       const std::wstring& workingFolder = {});

// The shown companion window of a running instance, waited for up to timeoutMs; null if none
// appears.
HWND WaitForCompanionWindow(DWORD timeoutMs = 20000);

// Removes the preferences file of the companions started by the tests.
void RemovePreferences();

}  // namespace companion::e2e
