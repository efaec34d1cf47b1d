#include "tests/e2e/companion_process_win.h"

#include <shlobj.h>

#include <stdexcept>

namespace companion::e2e {

CompanionProcess::CompanionProcess(const std::wstring& arguments,
                                   const std::wstring& workingFolder) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);  // the program sits next to this one
  std::wstring commandLine(self, std::wstring_view(self).rfind(L'\\') + 1);
  commandLine = L"\"" + commandLine + L"ScrollwickCompanion.exe\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  const bool started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info_);
  if (!started) throw std::runtime_error("cannot start ScrollwickCompanion.exe");
}

CompanionProcess::~CompanionProcess() {
  if (Running() && TerminateProcess(info_.hProcess, 99)) WaitForSingleObject(info_.hProcess, 5000);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

int CompanionProcess::WaitForExit(DWORD timeoutMs) {
  DWORD code = 0;
  const bool ended = WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
  return ended && GetExitCodeProcess(info_.hProcess, &code) ? static_cast<int>(code) : -1;
}

bool CompanionProcess::Running() const {
  return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

int RunCompanionToExit(const std::wstring& arguments, DWORD timeoutMs,
                       const std::wstring& workingFolder) {
  return CompanionProcess(arguments, workingFolder).WaitForExit(timeoutMs);
}

// Start-up shows the window only once the bubble and the hint exist.
HWND WaitForCompanionWindow(DWORD timeoutMs) {
  HWND window = nullptr;
  WaitUntil(timeoutMs, [&] {
    window = FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion");
    return window != nullptr && IsWindowVisible(window);
  });
  return window;
}

void RemovePreferences() {
  PWSTR base = nullptr;
  SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &base);
  const std::wstring path = std::wstring(base) + L"\\Scrollwick\\Companion\\preferences.ini";
  CoTaskMemFree(base);
  DeleteFileW(path.c_str());
  DeleteFileW((path + L".tmp").c_str());
}

}  // namespace companion::e2e
