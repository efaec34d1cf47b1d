// A small Windows program that the end-to-end scripts run next to the companion, in the same Wine
// session, to read what only Windows knows (it ends at once: what it opens goes with its exit).
// - window [bubble]: the companion's (or bubble's) left top right bottom visible handle.
// - monitors: one line per monitor: device left top right bottom workBottom primary.
// - cover SECS: a borderless window over the primary monitor, in front, for SECS seconds.
// - menu, companions: how many popup menus are shown; how many companion windows exist.
// - bubble: the bubble window's visibility (1 or 0), then the hint's text.
// - tray [HANDLE]: 1 when the tray holds the icon of that (else the running) companion window.
// - show: asks the running companion for a Scripture, as a second instance does.
// - clipboard: the clipboard's text, in UTF-8.
// - resources: the companion's peak working set (MB), GDI objects, handles and windows (top-level
//   and child).
// - stall SECS: for SECS seconds a message sent to the companion every 50 ms; prints the longest
//   time (ms) its GUI thread took to take one so far, the count and the second, as it goes (a
//   timer message is made when the thread looks at its queue: a tick is at most that late).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kCompanionClass[] = L"ScrollwickCompanion.V1";
constexpr wchar_t kBubbleClass[] = L"ScrollwickCompanion.Bubble.V1";

HANDLE OpenOwner(HWND window, DWORD access, DWORD& processId) {
  processId = 0;
  return GetWindowThreadProcessId(window, &processId) ? OpenProcess(access, FALSE, processId)
                                                      : nullptr;
}

int PrintWindow(HWND window) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return 1;
  std::printf("%ld %ld %ld %ld %d %llu\n", r.left, r.top, r.right, r.bottom,
              IsWindowVisible(window) ? 1 : 0,
              static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return 0;
}

int PrintCount(const wchar_t* className, bool shownOnly) {
  int count = 0;
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr));)
    count += !shownOnly || IsWindowVisible(w);
  std::printf("%d\n", count);
  return 0;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    std::printf("%ls %ld %ld %ld %ld %ld %d\n", info.szDevice, r.left, r.top, r.right, r.bottom,
                info.rcWork.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
  }
  return TRUE;
}

// The primary monitor is the one whose top left is 0,0.
int Cover(int seconds) {
  HWND window = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, nullptr, nullptr);
  if (!window) return 1;
  SetForegroundWindow(window);
  for (const ULONGLONG end = GetTickCount64() + 1000ULL * seconds; GetTickCount64() < end;) {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
      DispatchMessageW(&message);
    Sleep(20);
  }
  return 0;
}

// The hint tool's text lives in the companion's process, so the tooltip writes it there.
int PrintBubble(HWND bubble) {
  if (!bubble) return 1;
  HWND hint = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  while (hint && GetWindow(hint, GW_OWNER) != bubble)
    hint = FindWindowExW(nullptr, hint, TOOLTIPS_CLASSW, nullptr);
  wchar_t text[512] = {};
  DWORD processId;
  HANDLE process =
      OpenOwner(bubble, PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, processId);
  auto* remote = static_cast<BYTE*>(VirtualAllocEx(
      process, nullptr, sizeof(TTTOOLINFOW) + sizeof(text), MEM_COMMIT, PAGE_READWRITE));
  if (hint && remote) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = bubble;
    tool.uId = reinterpret_cast<UINT_PTR>(bubble);
    tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof(tool));
    WriteProcessMemory(process, remote, &tool, sizeof(tool), nullptr);
    SendMessageW(hint, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote + sizeof(tool), text, sizeof(text) - 2, nullptr);
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);  // polled often: leaves nothing
  std::printf("%d %ls\n", IsWindowVisible(bubble) ? 1 : 0, text);
  return 0;
}

int PrintClipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(std::max(size, 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    std::fputs(utf8.c_str(), stdout);
  }
  CloseClipboard();
  return text ? 0 : 1;
}

// Wine 8 implements neither GetGuiResources nor the handle count, so both are counted as the
// system keeps them: handles in the system's handle list (24-byte entries after the count, each
// starting with its owner), GDI objects in the process's shared GDI handle table (its address in
// the PEB, 24-byte entries, a used one has a non-zero type).
int PrintResources(HWND companion) {
  DWORD processId;
  HANDLE process = OpenOwner(companion, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, processId);
  PROCESS_MEMORY_COUNTERS memory{};
  if (!process || !GetProcessMemoryInfo(process, &memory, sizeof(memory))) return 1;
  std::vector<unsigned char> list(1 << 20);
  while (NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(16), list.data(),
                                  ULONG(list.size()), nullptr) == LONG(0xC0000004) &&
         list.size() < (256u << 20))
    list.resize(list.size() * 2);
  int handles = 0, windows = 0;
  for (ULONG i = 0; i < *reinterpret_cast<const ULONG*>(list.data()); ++i)
    handles += *reinterpret_cast<const USHORT*>(&list[sizeof(ULONG_PTR) + 24 * i]) == processId;

  PROCESS_BASIC_INFORMATION basic{};
  UINT64 address = 0;
  std::vector<unsigned char> table(0x10000 * 24);
  std::string gdi = "-";
  if (!NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                 nullptr) &&
      ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + 0xF8, &address,
                        sizeof(address), nullptr) &&
      address &&
      ReadProcessMemory(process, reinterpret_cast<void*>(address), table.data(), table.size(),
                        nullptr)) {
    int used = 0;
    for (std::size_t type = 14; type < table.size(); type += 24)
      used += table[type] != 0;
    gdi = std::to_string(used);
  }

  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, nullptr));) {
    DWORD owner = 0;
    if (!GetWindowThreadProcessId(w, &owner) || owner != processId) continue;
    ++windows;
    EnumChildWindows(
        w, [](HWND, LPARAM n) -> BOOL { return ++*reinterpret_cast<int*>(n); },
        reinterpret_cast<LPARAM>(&windows));
  }
  std::printf("%.1f %s %d %d\n", double(memory.PeakWorkingSetSize) / (1 << 20), gdi.c_str(),
              handles, windows);
  return 0;
}

int PrintStall(HWND companion, int seconds) {
  using Clock = std::chrono::steady_clock;
  using Ms = std::chrono::duration<double, std::milli>;
  double longest = 0;
  const Clock::time_point start = Clock::now();
  for (int samples = 1; Clock::now() - start < std::chrono::seconds(seconds) && IsWindow(companion);
       ++samples) {
    const Clock::time_point sent = Clock::now();
    SendMessageTimeoutW(companion, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
    const double ms = Ms(Clock::now() - sent).count();
    if (ms > longest || samples % 100 == 0) {
      longest = std::max(longest, ms);
      std::printf("%.0f %d %.1f\n", longest, samples, Ms(Clock::now() - start).count() / 1000);
      std::fflush(stdout);
    }
    Sleep(50);
  }
  return companion ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc >= 2 ? argv[1] : L"", argument = argc >= 3 ? argv[2] : L"";
  const int seconds = int(std::wcstol(argument.c_str(), nullptr, 10));
  HWND companion = FindWindowW(kCompanionClass, nullptr),
       bubble = FindWindowW(kBubbleClass, nullptr);
  if (command == L"window") return PrintWindow(argument == L"bubble" ? bubble : companion);
  if (command == L"monitors") return EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0) ? 0 : 1;
  if (command == L"cover") return Cover(seconds);
  if (command == L"menu") return PrintCount(L"#32768", true);
  if (command == L"companions") return PrintCount(kCompanionClass, false);
  if (command == L"bubble") return PrintBubble(bubble);
  if (command == L"tray") {  // changing nothing about an icon succeeds exactly when it is there
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon), icon.uID = 1, icon.hWnd = companion;
    if (!argument.empty()) icon.hWnd = reinterpret_cast<HWND>(UINT_PTR(std::stoull(argument)));
    return std::printf("%d\n", icon.hWnd && Shell_NotifyIconW(NIM_MODIFY, &icon) ? 1 : 0) < 0;
  }
  if (command == L"show") return companion && PostMessageW(companion, 0x8003, 0, 0) ? 0 : 1;
  if (command == L"clipboard") return PrintClipboard();
  if (command == L"resources") return PrintResources(companion);
  if (command == L"stall") return PrintStall(companion, seconds);
  std::fprintf(stderr, "usage: companion_probe COMMAND [ARGUMENT], the commands above\n");
  return 64;
}
