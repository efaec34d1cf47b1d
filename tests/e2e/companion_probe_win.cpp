// A small Windows program that the pointer tests run next to the companion, in the same Wine
// session, to read what only Windows knows. Commands:
// - window: the companion window's left top right bottom visible, and the foreground window's
//   class.
// - monitors: one line per monitor: device left top right bottom workBottom primary.
// - cover SECS: a borderless window over the primary monitor, in front, for SECS seconds.
// - memory: peak working set (MB) and CPU time (ms) of the running companion.
// - menu: 1 when a popup menu is shown, else 0.
// - bubble: the bubble window's visibility (1 or 0), then the hint's text.
// - handle: the companion window's handle, in decimal.
// - tray HANDLE: 1 when the notification area still holds that companion window's icon, else 0.
// - show: asks the running companion for a Scripture, as a second instance does.
// - bubble-window: the bubble window's left top right bottom.
// - clipboard: the clipboard's text, in UTF-8.
// - companions: how many companion windows exist.
// - resources: the companion's GDI objects, handles and windows (top-level and child).
// - stall SECS: for SECS seconds a message sent to the companion every 50 ms; prints the longest
//   time (ms) its GUI thread took to take one so far, the count and the second, as it goes. A
//   timer message is made whenever the thread looks at its queue, so a tick comes at most that
//   much after it is due.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HWND Companion() {
  return FindWindowW(L"ScrollwickCompanion.V1", L"Scrollwick Companion");
}

// The next top-level window of the class after `after` (from the first), or null.
HWND NextWindow(const wchar_t* className, HWND after = nullptr) {
  return FindWindowExW(nullptr, after, className, nullptr);
}

int PrintWindow() {
  HWND window = Companion();
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
  HWND window = Companion();
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

int PrintMenu() {
  HWND menu = NextWindow(L"#32768");
  while (menu && !IsWindowVisible(menu))
    menu = NextWindow(L"#32768", menu);
  std::printf("%d\n", menu ? 1 : 0);
  return 0;
}

// The hint tool's text lives in the companion's process, so the tooltip writes it there.
int PrintBubble() {
  HWND bubble = FindWindowW(L"ScrollwickCompanion.Bubble.V1", nullptr);
  if (!bubble) return 1;
  DWORD processId = 0;
  GetWindowThreadProcessId(bubble, &processId);
  HWND hint = nullptr;
  while ((hint = NextWindow(TOOLTIPS_CLASSW, hint))) {
    if (GetWindow(hint, GW_OWNER) == bubble) break;
  }
  wchar_t text[512] = {};
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (hint && process) {
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(
        process, nullptr, sizeof(TTTOOLINFOW) + sizeof(text), MEM_COMMIT, PAGE_READWRITE));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = bubble;
    tool.uId = reinterpret_cast<UINT_PTR>(bubble);
    tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof(TTTOOLINFOW));
    WriteProcessMemory(process, remote, &tool, sizeof(tool), nullptr);
    SendMessageW(hint, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote + sizeof(TTTOOLINFOW), text, sizeof(text) - 2, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  if (process) CloseHandle(process);
  std::printf("%d %ls\n", IsWindowVisible(bubble) ? 1 : 0, text);
  return 0;
}

int PrintHandle() {
  HWND window = Companion();
  if (!window) return 1;
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return 0;
}

// Changing nothing about an icon succeeds exactly when the icon is there.
int PrintTray(const wchar_t* handle) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(handle, nullptr, 10)));
  data.uID = 1;
  std::printf("%d\n", Shell_NotifyIconW(NIM_MODIFY, &data) ? 1 : 0);
  return 0;
}

int Show() {
  HWND window = Companion();
  constexpr UINT kShowMessage = 0x8003;
  return window && PostMessageW(window, kShowMessage, 0, 0) ? 0 : 1;
}

int PrintBubbleWindow() {
  HWND bubble = FindWindowW(L"ScrollwickCompanion.Bubble.V1", nullptr);
  RECT rect{};
  if (!bubble || !GetWindowRect(bubble, &rect)) return 1;
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  return 0;
}

int PrintClipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  int result = 1;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
      std::string utf8(size > 0 ? size - 1 : 0, '\0');
      WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
      std::fwrite(utf8.data(), 1, utf8.size(), stdout);
      result = 0;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return result;
}

int PrintCompanions() {
  int count = 0;
  for (HWND w = nullptr; (w = NextWindow(L"ScrollwickCompanion.V1", w));)
    ++count;
  std::printf("%d\n", count);
  return 0;
}

struct WindowCount {
  DWORD processId;
  int windows;
};

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM counting) {
  auto& c = *reinterpret_cast<WindowCount*>(counting);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != c.processId) return TRUE;
  ++c.windows;
  EnumChildWindows(window, CountOwnWindow, counting);
  return TRUE;
}

// Wine 8 implements neither GetGuiResources nor the handle count, so both are counted as the
// system keeps them: handles in the system's handle list, GDI objects in the process's shared
// GDI handle table (its address in the PEB, 24-byte entries, a used one has a non-zero type).
unsigned CountHandles(DWORD processId) {
  struct Entry {
    USHORT processId, backTrace;
    UCHAR type, attributes;
    USHORT value;
    PVOID object;
    ULONG access;
  };
  constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  while (NtQuerySystemInformation(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()),
                                  &needed) == LONG(0xC0000004) &&
         buffer.size() < (256u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  const ULONG total = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
  unsigned count = 0;
  for (ULONG i = 0; i < total; ++i)
    count += entries[i].processId == processId;
  return count;
}

std::string CountGdiObjects(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  UINT64 table = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) ||
      !ReadProcessMemory(process,
                         static_cast<char*>(static_cast<void*>(basic.PebBaseAddress)) + 0xF8,
                         &table, sizeof(table), nullptr) ||
      !table) {
    return "-";
  }
  constexpr std::size_t kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
  std::vector<unsigned char> entries(kEntries * kEntrySize);
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(), entries.size(),
                         nullptr)) {
    return "-";
  }
  unsigned count = 0;
  for (std::size_t i = 0; i < kEntries; ++i)
    count += entries[i * kEntrySize + kTypeOffset] != 0;
  return std::to_string(count);
}

int PrintResources() {
  HWND window = Companion();
  WindowCount count{0, 0};
  if (!window || !GetWindowThreadProcessId(window, &count.processId)) return 1;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, count.processId);
  if (!process) return 1;
  EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
  std::printf("%s %u %d\n", CountGdiObjects(process).c_str(), CountHandles(count.processId),
              count.windows);
  CloseHandle(process);
  return 0;
}

int PrintStall(int seconds) {
  HWND window = Companion();
  if (!window) return 1;
  double longest = 0;
  int samples = 0;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  const ULONGLONG stop = GetTickCount64() + 1000ULL * seconds;
  while (GetTickCount64() < stop && IsWindow(window)) {
    DWORD_PTR result = 0;
    QueryPerformanceCounter(&start);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    ++samples;
    if (ms > longest || samples % 100 == 0) {
      longest = ms > longest ? ms : longest;
      std::printf("%.0f %d %.1f\n", longest, samples,
                  double(GetTickCount64() - (stop - 1000ULL * seconds)) / 1000.0);
      std::fflush(stdout);
    }
    Sleep(50);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  const wchar_t* argument = argc >= 3 ? argv[2] : L"0";
  const int seconds = int(std::wcstol(argument, nullptr, 10));
  if (command == L"window") return PrintWindow();
  if (command == L"monitors") return EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0) ? 0 : 1;
  if (command == L"cover") return Cover(seconds);
  if (command == L"memory") return PrintMemory();
  if (command == L"menu") return PrintMenu();
  if (command == L"bubble") return PrintBubble();
  if (command == L"handle") return PrintHandle();
  if (command == L"tray") return PrintTray(argument);
  if (command == L"show") return Show();
  if (command == L"bubble-window") return PrintBubbleWindow();
  if (command == L"clipboard") return PrintClipboard();
  if (command == L"companions") return PrintCompanions();
  if (command == L"resources") return PrintResources();
  if (command == L"stall") return PrintStall(seconds);
  std::fprintf(stderr, "usage: companion_probe COMMAND [ARGUMENT], the commands above\n");
  return 64;
}
