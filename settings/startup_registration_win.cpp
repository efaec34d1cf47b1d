#include "settings/startup_registration_win.h"

#include <vector>

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "base/owners_win.h"
#include "base/wide_win.h"

namespace companion {

namespace {

// The longest path Windows hands out, in UTF-16 units.
constexpr DWORD kModulePathCapacity = 32768;

bool WriteQuotedPath(HKEY key, const std::u16string& programPath) {
  // Without a path the value would start nothing at logon; that is a failure, not a success.
  if (programPath.empty()) return false;
  const std::u16string quoted = u"\"" + programPath + u"\"";
  const DWORD bytes = static_cast<DWORD>((quoted.size() + 1) * sizeof(char16_t));
  return RegSetValueExW(key, AsWide(kRunValueName), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(quoted.c_str()), bytes) == ERROR_SUCCESS;
}

}  // namespace

bool IsStartWithWindowsAt(const std::u16string& keyPath) {
  RegistryKey run;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, AsWide(keyPath), 0, KEY_QUERY_VALUE, run.Put()) !=
      ERROR_SUCCESS) {
    run.Release();
    return false;
  }
  DWORD type = REG_NONE;
  const LSTATUS status =
      RegQueryValueExW(run.Get(), AsWide(kRunValueName), nullptr, &type, nullptr, nullptr);
  return status == ERROR_SUCCESS && type == REG_SZ;
}

bool ToggleStartWithWindowsAt(HWND owner, const std::u16string& keyPath,
                              const std::u16string& programPath) {
  const bool wasOn = IsStartWithWindowsAt(keyPath);
  bool changed = false;
  {
    RegistryKey run;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, AsWide(keyPath), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, run.Put(), nullptr) == ERROR_SUCCESS) {
      changed = wasOn ? RegDeleteValueW(run.Get(), AsWide(kRunValueName)) == ERROR_SUCCESS
                      : WriteQuotedPath(run.Get(), programPath);
    } else {
      run.Release();
    }
  }
  if (!changed) {
    MessageBoxW(owner, AsWide(kStartupFailureText), AsWide(kCompanionTitle),
                MB_OK | MB_ICONINFORMATION);
  }
  return changed;
}

bool IsStartWithWindows() {
  return IsStartWithWindowsAt(kRunKeyPath);
}

void ToggleStartWithWindows(CompanionApp& app) {
  ToggleStartWithWindowsAt(app.shell.companionWindow, kRunKeyPath, ModuleFileName());
}

std::u16string ModuleFileName() {
  std::vector<char16_t> buffer(kModulePathCapacity, u'\0');
  const DWORD length =
      GetModuleFileNameW(nullptr, AsWritableWide(buffer.data()), kModulePathCapacity);
  // A length equal to the capacity means the path was cut short.
  if (length == 0 || length >= kModulePathCapacity) return {};
  return std::u16string(buffer.data(), length);
}

}  // namespace companion
