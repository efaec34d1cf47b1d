#include "app/menu_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/companion_messages.h"
#include "app/wide_win.h"
#include "character/placement_win.h"
#include "resources/resource_ids.h"
#include "settings/preferences_win.h"
#include "settings/startup_registration_win.h"
#include "tests/live_companion_win.h"
#include "tests/temp_folder_win.h"

namespace companion {
namespace {

using testing::LiveCompanion;

// The menu as Windows holds it, read back item by item into the model's form.
std::vector<MenuItem> ReadBack(HMENU menu) {
  std::vector<MenuItem> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t label[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = label;
    info.cch = 128;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
    MenuItem item;
    // Exclusive groups use the ordinary check mark, never the radio mark.
    EXPECT_EQ(info.fType & MFT_RADIOCHECK, 0u);
    if (info.fType & MFT_SEPARATOR) {
      item.kind = MenuItemKind::Separator;
    } else if (info.hSubMenu) {
      item.kind = MenuItemKind::Submenu;
      item.label = ToU16(label);
      item.submenu = ReadBack(info.hSubMenu);
    } else {
      item.label = ToU16(label);
      item.id = info.wID;
      item.checked = (info.fState & MFS_CHECKED) != 0;
      item.grayed = (info.fState & MFS_GRAYED) != 0;
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<MenuItem> BuiltMenu(const CompanionApp& app) {
  HMENU menu = BuildContextMenu(app);
  std::vector<MenuItem> items = ReadBack(menu);
  DestroyMenu(menu);
  return items;
}

const MenuItem* FindItem(const std::vector<MenuItem>& items, uint32_t id) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItemKind::Command && item.id == id) return &item;
    if (const MenuItem* inner = FindItem(item.submenu, id)) return inner;
  }
  return nullptr;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"(clipboard busy)";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(block), text.c_str(), bytes);
  GlobalUnlock(block);
  SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
}

// A real companion with its preferences in a fresh folder.
class Menu : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadPreferencesFrom(app(), temp_.Path());
    PlaceCharacter(app(), true);
    ShowWindow(live_.window(), SW_SHOWNOACTIVATE);
  }
  CompanionApp& app() { return live_.app(); }
  std::string SavedPreferences() { return testing::ReadWholeFile(app().preferencesPath); }
  void ShowScripture() {
    app().currentText = u"For God so loved the world, that he gave his only born Son.";
    app().currentReference = u"John 3:16";
    app().currentTranslation = u"web";
  }

  testing::TempFolder temp_;
  LiveCompanion live_;
};

TEST_F(Menu, WindowsMenuEqualsTheModelItemByItem) {
  MonitorRecord second;
  second.handle = reinterpret_cast<HMONITOR>(0x2);
  second.info.dwFlags = MONITORINFOF_PRIMARY;
  MonitorRecord first;
  first.handle = reinterpret_cast<HMONITOR>(0x1);
  app().monitors = {first, second};
  app().currentMonitor = second;
  app().displaySeconds = 30;
  app().gapSeconds = 900;
  app().translationIndex = 2;
  app().sizeMultiple = 2;
  app().paused = true;
  app().historyIndex = 0;
  app().bubbleVisible = false;
  ShowScripture();

  const std::vector<MenuItem> built = BuiltMenu(app());
  EXPECT_EQ(built, ContextMenuModel(GatherMenuInputs(app())));
  ASSERT_EQ(built.size(), 10u);
  EXPECT_EQ(built[0].label, u"Give me a Scripture");
  EXPECT_FALSE(FindItem(built, kCommandPrevious)->grayed);
  EXPECT_FALSE(FindItem(built, kCommandCopy)->grayed);
  EXPECT_TRUE(FindItem(built, kCommandPause)->checked);
  EXPECT_TRUE(FindItem(built, 704)->checked);
  EXPECT_EQ(FindItem(built, kCommandCustomDisplayTime)->label, u"Custom\u2026 (30 seconds)");
  EXPECT_TRUE(FindItem(built, 305)->checked);
  EXPECT_TRUE(FindItem(built, 602)->checked);
  EXPECT_TRUE(FindItem(built, 502)->checked);
  EXPECT_EQ(FindItem(built, 400)->label, u"Display 1");
  EXPECT_FALSE(FindItem(built, 400)->checked);
  EXPECT_EQ(FindItem(built, 401)->label, u"Display 2 (primary)");
  EXPECT_TRUE(FindItem(built, 401)->checked);
}

TEST_F(Menu, FreshCompanionGraysPreviousAndCopy) {
  const std::vector<MenuItem> built = BuiltMenu(app());
  EXPECT_EQ(built, ContextMenuModel(GatherMenuInputs(app())));
  EXPECT_TRUE(FindItem(built, kCommandPrevious)->grayed);
  EXPECT_TRUE(FindItem(built, kCommandCopy)->grayed);
}

TEST_F(Menu, StartWithWindowsCheckFollowsTheRunValue) {
  const bool before = IsStartWithWindows();
  if (before) ToggleStartWithWindows(app());
  EXPECT_FALSE(FindItem(BuiltMenu(app()), kCommandStartWithWindows)->checked);
  RunMenuCommand(app(), kCommandStartWithWindows);
  EXPECT_TRUE(FindItem(BuiltMenu(app()), kCommandStartWithWindows)->checked);
  RunMenuCommand(app(), kCommandStartWithWindows);
  EXPECT_FALSE(FindItem(BuiltMenu(app()), kCommandStartWithWindows)->checked);
  if (before) ToggleStartWithWindows(app());
}

TEST_F(Menu, CopyPutsVerseThenReferenceAndCode) {
  ShowScripture();
  app().currentTranslation = u"kjv";
  RunMenuCommand(app(), kCommandCopy);
  EXPECT_EQ(ClipboardText(),
            L"For God so loved the world, that he gave his only born Son.\r\nJohn 3:16 (kjv)");
}

TEST_F(Menu, CopyWithoutAScriptureLeavesTheClipboard) {
  SetClipboardText(L"something the user copied");
  app().currentText = u"a text without a reference";
  RunMenuCommand(app(), kCommandCopy);
  EXPECT_EQ(ClipboardText(), L"something the user copied");
}

// Runs `action` on this thread from inside the menu's own message loop.
void WhileMenuOpen(void (*action)()) {
  static void (*pending)() = nullptr;
  pending = action;
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    pending();
  });
}

TEST_F(Menu, DismissedMenuRestartsMotionAndDrawsTheIdleDelay) {
  app().movementEnabled = true;
  app().paused = false;
  WhileMenuOpen([] { EndMenu(); });
  const uint64_t before = GetTickCount64();
  ShowContextMenu(app(), POINT{400, 400});
  const uint64_t after = GetTickCount64();
  EXPECT_TRUE(app().motionTimerRunning);
  EXPECT_TRUE(live_.TimerRunning(TIMER_MOTION, kMotionPeriodMs));
  EXPECT_GE(app().idleActionTick, before + 60000);
  EXPECT_LE(app().idleActionTick, after + 120000);
}

TEST_F(Menu, DismissedMenuLeavesMotionStoppedWhilePausedOrStill) {
  for (const auto& [paused, movement] : {std::pair{true, true}, std::pair{false, false}}) {
    SetTimer(live_.window(), TIMER_MOTION, kMotionPeriodMs, nullptr);
    app().motionTimerRunning = true;
    app().paused = paused;
    app().movementEnabled = movement;
    WhileMenuOpen([] { EndMenu(); });
    ShowContextMenu(app(), POINT{400, 400});
    EXPECT_FALSE(app().motionTimerRunning);
    EXPECT_FALSE(live_.TimerRunning(TIMER_MOTION, kMotionPeriodMs));
  }
}

TEST_F(Menu, ExitChosenWithTheKeyboardEndsTheProgram) {
  static HWND window = nullptr;
  window = live_.window();
  // Up from no selection wraps to the last item.
  WhileMenuOpen([] {
    PostMessageW(window, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
  });
  ShowContextMenu(app(), POINT{400, 400});
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(LiveCompanion::TakeQuitMessage());
}

TEST_F(Menu, GapRestartsTheScheduleFromNow) {
  RunMenuCommand(app(), 307);
  EXPECT_EQ(app().gapSeconds, 3600);
  EXPECT_GE(app().nextScriptureTick, GetTickCount64() + 3600000 - 1000);
  EXPECT_LE(app().nextScriptureTick, GetTickCount64() + 3600000);
  EXPECT_NE(SavedPreferences().find("GapSeconds=3600\r\n"), std::string::npos);
  RunMenuCommand(app(), 300);
  EXPECT_EQ(app().gapSeconds, 0);
  EXPECT_EQ(app().nextScriptureTick, 0u);
  EXPECT_NE(SavedPreferences().find("GapSeconds=0\r\n"), std::string::npos);
}

TEST_F(Menu, DisplayTimeRestartsTheBubbleClockOnlyWhileShown) {
  RunMenuCommand(app(), 707);
  EXPECT_EQ(app().displaySeconds, 300);
  EXPECT_FALSE(live_.TimerRunning(TIMER_BUBBLE, 300000));
  EXPECT_NE(SavedPreferences().find("DisplaySeconds=300\r\n"), std::string::npos);

  app().bubbleVisible = true;
  const uint64_t before = GetTickCount64();
  RunMenuCommand(app(), 700);
  EXPECT_EQ(app().displaySeconds, 5);
  EXPECT_GE(app().bubbleHideTick, before + 5000);
  EXPECT_LE(app().bubbleHideTick, GetTickCount64() + 5000);
  EXPECT_TRUE(live_.TimerRunning(TIMER_BUBBLE, 5000));
}

TEST_F(Menu, CustomDisplayTimeFromTheDialog) {
  static HWND owner = nullptr;
  owner = live_.window();
  std::thread driver([] {
    for (int i = 0; i < 500; ++i) {
      // A dialog shows itself only after WM_INITDIALOG has filled the field.
      HWND dialog = FindWindowW(L"#32770", L"Scripture display time");
      if (dialog && IsWindowVisible(dialog)) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
        SetDlgItemTextW(dialog, IDC_DISPLAY_TIME_SECONDS, L"45");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  });
  RunMenuCommand(app(), kCommandCustomDisplayTime);
  driver.join();
  EXPECT_EQ(app().displaySeconds, 45);
  EXPECT_NE(SavedPreferences().find("DisplaySeconds=45\r\n"), std::string::npos);
}

TEST_F(Menu, PauseHidesTheBubbleAndSaves) {
  app().bubbleVisible = true;
  RunMenuCommand(app(), kCommandPause);
  EXPECT_TRUE(app().paused);
  EXPECT_FALSE(app().bubbleVisible);
  EXPECT_NE(SavedPreferences().find("Paused=1\r\n"), std::string::npos);
  RunMenuCommand(app(), kCommandPause);
  EXPECT_FALSE(app().paused);
}

TEST_F(Menu, MovementAndFigureChoices) {
  app().movementEnabled = true;
  RunMenuCommand(app(), kCommandMovement);
  EXPECT_FALSE(app().movementEnabled);
  EXPECT_NE(SavedPreferences().find("Movement=0\r\n"), std::string::npos);

  RunMenuCommand(app(), kCommandOriginal);
  EXPECT_FALSE(app().characterArt.younger);
  EXPECT_NE(SavedPreferences().find("YoungerPreview=0\r\n"), std::string::npos);
  RunMenuCommand(app(), kCommandYounger);
  EXPECT_TRUE(app().characterArt.younger);
  EXPECT_NE(SavedPreferences().find("YoungerPreview=1\r\n"), std::string::npos);
}

TEST_F(Menu, SupportMessageTakesTheBubbleAndStopsTheSchedule) {
  app().displaySeconds = 20;
  app().nextScriptureTick = GetTickCount64() + 60000;
  const uint64_t before = GetTickCount64();
  RunMenuCommand(app(), kCommandSupport);
  EXPECT_TRUE(app().supportPromptShown);
  EXPECT_TRUE(app().bubbleVisible);
  EXPECT_TRUE(IsWindowVisible(app().bubbleWindow));
  EXPECT_EQ(app().nextScriptureTick, 0u);
  EXPECT_GE(app().bubbleHideTick, before + 20000);
  EXPECT_TRUE(live_.TimerRunning(TIMER_BUBBLE, 20000));
  EXPECT_EQ(FindItem(BuiltMenu(app()), kCommandPrevious)->grayed, app().historyIndex < 0);
}

TEST_F(Menu, SizeChangeKeepsAFreeFigureBottomCentre) {
  // Standing low on the screen, where the larger figure would not fit at the same top-left corner.
  app().freePlacement = true;
  RunMenuCommand(app(), 501);
  const int32_t x = app().positionX;
  const int32_t y = app().positionY;
  const float scale = app().characterScale;
  RunMenuCommand(app(), 502);
  EXPECT_EQ(app().sizeMultiple, 2);
  EXPECT_GT(app().characterScale, scale);
  const PositionShift shift = FreePlacementShift(scale, app().characterScale);
  EXPECT_EQ(app().positionX, x + shift.dx);
  EXPECT_EQ(app().positionY, y + shift.dy);
  EXPECT_NE(SavedPreferences().find("SizeMultiple=2\r\n"), std::string::npos);
}

TEST_F(Menu, SizeChangeOnTheTaskbarOnlyReplaces) {
  app().freePlacement = false;
  RunMenuCommand(app(), 501);
  RECT small{};
  GetWindowRect(live_.window(), &small);
  RunMenuCommand(app(), 503);
  RECT large{};
  GetWindowRect(live_.window(), &large);
  EXPECT_EQ(app().sizeMultiple, 3);
  EXPECT_GT(large.bottom - large.top, 2 * (small.bottom - small.top));
  // Still standing on the taskbar.
  EXPECT_NEAR(large.bottom, small.bottom, 12);
}

TEST_F(Menu, ReturnToTaskbarEndsFreePlacement) {
  app().freePlacement = true;
  app().positionX = 100;
  app().positionY = 100;
  RunMenuCommand(app(), kCommandReturnToTaskbar);
  EXPECT_FALSE(app().freePlacement);
  EXPECT_NE(SavedPreferences().find("FreePlacement=0\r\n"), std::string::npos);
}

TEST_F(Menu, DisplayBeyondTheListOnlySaves) {
  const std::u16string device = app().monitorDevice;
  RunMenuCommand(app(), 400 + static_cast<uint32_t>(app().monitors.size()));
  EXPECT_EQ(app().monitorDevice, device);
  EXPECT_TRUE(testing::FileExists(app().preferencesPath));
}

TEST_F(Menu, DisplayChoiceStoresTheDeviceName) {
  ASSERT_FALSE(app().monitors.empty());
  RunMenuCommand(app(), 400);
  EXPECT_EQ(app().monitorDevice, ToU16(app().monitors[0].info.szDevice));
}

TEST_F(Menu, UnknownIdsChangeNothing) {
  const std::string saved = testing::FileExists(app().preferencesPath) ? SavedPreferences() : "";
  for (uint32_t id : {99u, 113u, 308u, 500u, 504u, 605u, 708u}) {
    RunMenuCommand(app(), id);
  }
  EXPECT_EQ(testing::FileExists(app().preferencesPath) ? SavedPreferences() : "", saved);
  EXPECT_TRUE(IsWindow(live_.window()));
}

}  // namespace
}  // namespace companion
