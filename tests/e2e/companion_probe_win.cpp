// A small Windows program that the pointer tests run next to the companion, in the same Wine
// session, to read what only Windows knows:
//   companion_probe window       the companion window: left top right bottom visible, and the
//                                class of the foreground window
//   companion_probe monitors     one line per monitor: device left top right bottom workBottom
//   primary companion_probe cover SECS   a borderless window over the primary monitor, in front,
//   for SECS companion_probe memory       peak working set (MB) and CPU time (ms) of the running
//   companion
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

int PrintWindow() {
  HWND window = FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion");
  if (!window) return 1;
  RECT rect{};
  GetWindowRect(window, &rect);
  wchar_t foreground[128] = L"-";
  if (HWND active = GetForegroundWindow()) GetClassNameW(active, foreground, 128);
  std::printf("%ld %ld %ld %ld %d %ls\n", rect.left, rect.top, rect.right, rect.bottom,
              IsWindowVisible(window) ? 1 : 0, foreground);
  return 0;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    std::printf("%ls %ld %ld %ld %ld %ld %d\n", info.szDevice, info.rcMonitor.left,
                info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom, info.rcWork.bottom,
                (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
  }
  return TRUE;
}

int Cover(int seconds) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = L"ScrollwickProbe.Cover";
  RegisterClassW(&windowClass);
  HMONITOR primary = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(primary, &info);
  const RECT& r = info.rcMonitor;
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Cover", WS_POPUP | WS_VISIBLE,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
  if (!window) return 1;
  SetForegroundWindow(window);
  const ULONGLONG end = GetTickCount64() + ULONGLONG(seconds) * 1000;
  while (GetTickCount64() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
    Sleep(20);
  }
  DestroyWindow(window);
  return 0;
}

int PrintMemory() {
  HWND window = FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion");
  if (!window) return 1;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return 1;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(process, &memory, sizeof(memory));
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return ((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
  };
  std::printf("%.1f %llu\n", double(memory.PeakWorkingSetSize) / (1024.0 * 1024.0),
              ms(kernel) + ms(user));
  CloseHandle(process);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wcscmp(argv[1], L"window") == 0) return PrintWindow();
  if (argc >= 2 && std::wcscmp(argv[1], L"monitors") == 0) {
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    return 0;
  }
  if (argc >= 3 && std::wcscmp(argv[1], L"cover") == 0)
    return Cover(std::wcstol(argv[2], nullptr, 10));
  if (argc >= 2 && std::wcscmp(argv[1], L"memory") == 0) return PrintMemory();
  std::fprintf(stderr, "usage: companion_probe window | monitors | cover SECS | memory\n");
  return 64;
}
