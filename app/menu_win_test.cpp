#include "app/menu_win.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/owners_win.h"
#include "base/wide_win.h"
#include "character/placement.h"
#include "character/placement_win.h"
#include "settings/startup_registration_win.h"
#include "tests/live_companion_win.h"

namespace companion {
namespace {

// The menu as Windows holds it, read back item by item into the model's form.
std::vector<MenuItem> ReadBack(HMENU menu) {
  std::vector<MenuItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t label[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info), info.dwTypeData = label, info.cch = 128;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
    const bool separator = info.fType & MFT_SEPARATOR, submenu = info.hSubMenu;
    using enum MenuItemKind;
    const MenuItemKind kind = separator ? Separator : submenu ? Submenu : Command;
    items.push_back({kind, ToU16(label), submenu ? 0 : info.wID, (info.fState & MFS_CHECKED) != 0,
                     !separator && (info.fState & MFS_GRAYED),
                     submenu ? ReadBack(info.hSubMenu) : std::vector<MenuItem>{}});
  }
  return items;
}

// The HMENU is the model of the companion's state and the real Run value; the commands act.
TEST(Menu, WindowsMenuEqualsTheModelAndDisplayTimeSupportMessageAndSizeCommandsAct) {
  testing::LiveCompanion live;
  CompanionApp& app = live.app();
  PlaceCharacter(app, true);
  MenuInputs expected{.monitors = {{false, false}, {true, true}}};
  app.placement.monitors = {MonitorRecord{}, MonitorRecord{reinterpret_cast<HMONITOR>(0x2)}};
  app.placement.monitors[1].info.dwFlags = MONITORINFOF_PRIMARY;
  app.placement.currentMonitor = app.placement.monitors[1];
  app.preferences.displaySeconds = expected.displaySeconds = 30;
  app.scripture.historyIndex = expected.historyIndex = 0;
  app.bubble.bubbleVisible = expected.bubbleVisible = true;
  expected.startWithWindows = IsStartWithWindows();
  app.scripture.currentReference = u"John 3:16", expected.hasCurrentScripture = true;
  EXPECT_EQ(ReadBack(MenuHandle(BuildContextMenu(app)).Get()), ContextMenuModel(expected));

  app.scripture.nextScriptureTick = GetTickCount64() + 60000;
  RunMenuCommand(app, kCommandSupport);
  EXPECT_EQ(app.scripture.nextScriptureTick, 0u);  // no automatic Scripture over the message
  RunMenuCommand(app, 700);
  EXPECT_TRUE(app.bubble.bubbleHideTick <= GetTickCount64() + 5000 &&  // not the 30 s
              live.TimerRunning(TIMER_BUBBLE, 5000));

  app.preferences.freePlacement = true;  // a larger one shifts from where it stood, not re-placed
  const int32_t x = app.preferences.positionX, y = app.preferences.positionY;
  const float scale = app.placement.characterScale;
  RunMenuCommand(app, 502);
  const ScreenPoint shift = FreeSizeShift(scale, app.placement.characterScale);
  EXPECT_TRUE(app.placement.characterScale > scale && app.preferences.positionX == x + shift.x &&
              app.preferences.positionY == y + shift.y);
}

}  // namespace
}  // namespace companion
