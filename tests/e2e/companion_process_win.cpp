#include "tests/e2e/companion_process_win.h"

#include <shlobj.h>

#include <stdexcept>
#include <vector>

namespace companion::e2e {

namespace {

std::wstring ProgramPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  path.resize(path.find_last_of(L'\\') + 1);
  return path + L"ScrollwickCompanion.exe";
}

}  // namespace

CompanionProcess::CompanionProcess(const std::wstring& arguments,
                                   const std::wstring& workingFolder) {
  std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info_)) {
    throw std::runtime_error("cannot start ScrollwickCompanion.exe");
  }
}

CompanionProcess::~CompanionProcess() {
  if (Running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

int CompanionProcess::WaitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<int>(code);
}

bool CompanionProcess::Running() const {
  return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

int RunCompanionToExit(const std::wstring& arguments, DWORD timeoutMs,
                       const std::wstring& workingFolder) {
  CompanionProcess process(arguments, workingFolder);
  return process.WaitForExit(timeoutMs);
}

HWND WaitForCompanionWindow(DWORD timeoutMs) {
  HWND window = nullptr;
  WaitUntil(timeoutMs, [&] {
    // Start-up shows the window only once the bubble and the hint exist.
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
