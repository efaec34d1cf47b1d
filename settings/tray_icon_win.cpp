#include "settings/tray_icon_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "base/companion_app_win.h"
#include "base/messages.h"

namespace companion {

namespace {

// The full Vista-and-later record, which carries NIF_SHOWTIP and the version-4 callbacks.
static_assert(sizeof(NOTIFYICONDATAW) == 976);
constexpr UINT kTrayIconId = 1;
constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
static_assert(kTrayFlags == 0x87);
constexpr wchar_t kTrayTip[] = L"Scrollwick \u2014 click for Scripture; right-click for controls";

}  // namespace

void AddTrayIcon(CompanionApp& app) {
  NOTIFYICONDATAW& data = app.trayIconData;
  data = NOTIFYICONDATAW{};
  data.cbSize = sizeof(data);
  data.hWnd = app.shell.companionWindow;
  data.uID = kTrayIconId;
  data.uFlags = kTrayFlags;
  data.uCallbackMessage = WM_COMPANION_TRAY;
  // LR_SHARED: the system owns the handle, so it is never destroyed here.
  data.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wcsncpy(data.szTip, kTrayTip, std::size(data.szTip) - 1);
  if (Shell_NotifyIconW(NIM_ADD, &data)) {
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
  }
}

void RemoveTrayIcon(CompanionApp& app) {
  Shell_NotifyIconW(NIM_DELETE, &app.trayIconData);
}

}  // namespace companion
