#include "app/menu_win.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/companion_messages.h"
#include "app/wide_win.h"
#include "character/placement.h"
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
    MenuItem& item = items.emplace_back();
    if (info.fType & MFT_SEPARATOR) {
      item.kind = MenuItemKind::Separator;
      continue;
    }
    item.label = ToU16(label);
    if (info.hSubMenu) {
      item.kind = MenuItemKind::Submenu;
      item.submenu = ReadBack(info.hSubMenu);
      continue;
    }
    item.id = info.wID;
    item.checked = (info.fState & MFS_CHECKED) != 0;
    item.grayed = (info.fState & MFS_GRAYED) != 0;
  }
  return items;
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
  bool Saved(const std::string& line) {
    return testing::ReadWholeFile(app().preferencesPath).find(line + "\r\n") != std::string::npos;
  }
  void ShowScripture() {
    app().currentText = u"For God so loved the world, that he gave his only born Son.";
    app().currentReference = u"John 3:16";
    app().currentTranslation = u"web";
  }

  testing::TempFolder temp_;
  LiveCompanion live_;
};

// The HMENU holds exactly the model built from the companion's state and the real Run value:
// first with nothing to copy, then with a Scripture and the Run value toggled by its command.
TEST_F(Menu, WindowsMenuEqualsTheModelOfTheCompanionsState) {
  MenuInputs expected;
  expected.monitors = {{false, false}, {true, true}};
  app().monitors.resize(2);
  app().monitors[0].handle = reinterpret_cast<HMONITOR>(0x1);
  app().monitors[0].info.dwFlags = 0;
  app().monitors[1].handle = reinterpret_cast<HMONITOR>(0x2);
  app().monitors[1].info.dwFlags = MONITORINFOF_PRIMARY;
  app().currentMonitor = app().monitors[1];
  app().displaySeconds = expected.displaySeconds = 30;
  app().gapSeconds = expected.gapSeconds = 900;
  app().translationIndex = expected.translationIndex = 2;
  app().sizeMultiple = expected.sizeMultiple = 2;
  app().paused = expected.paused = true;
  app().movementEnabled = expected.movementEnabled = false;
  app().characterArt.younger = expected.younger = false;
  app().historyIndex = expected.historyIndex = 0;
  app().bubbleVisible = expected.bubbleVisible = true;
  app().supportPromptShown = expected.supportPromptShown = true;
  const bool runValueBefore = IsStartWithWindows();
  for (const bool withScripture : {false, true}) {
    if (withScripture) {
      ShowScripture();
      RunMenuCommand(app(), kCommandStartWithWindows);
    }
    expected.hasCurrentScripture = withScripture;
    expected.startWithWindows = IsStartWithWindows();
    HMENU menu = BuildContextMenu(app());
    EXPECT_EQ(ReadBack(menu), ContextMenuModel(expected)) << withScripture;
    DestroyMenu(menu);
  }
  EXPECT_NE(IsStartWithWindows(), runValueBefore);
  ToggleStartWithWindows(app());  // the Run value as it was
}

TEST_F(Menu, CopyPutsVerseThenReferenceAndCodeOnlyWithAScripture) {
  const DWORD untouched = GetClipboardSequenceNumber();
  app().currentText = u"a text without a reference";
  RunMenuCommand(app(), kCommandCopy);
  EXPECT_EQ(GetClipboardSequenceNumber(), untouched);
  ShowScripture();
  app().currentTranslation = u"kjv";
  RunMenuCommand(app(), kCommandCopy);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(data)),
               L"For God so loved the world, that he gave his only born Son.\r\nJohn 3:16 (kjv)");
  GlobalUnlock(data);
  CloseClipboard();
}

// Motion restarts only when moving and not paused; the next idle action is drawn anew.
TEST_F(Menu, DismissedMenuRestartsMotionOnlyWhenMovingAndDrawsTheIdleDelay) {
  const struct {
    bool paused, movement, running;
  } kCases[] = {{false, true, true}, {true, true, false}, {false, false, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.paused * 2 + c.movement);
    SetTimer(live_.window(), TIMER_MOTION, kMotionPeriodMs, nullptr);
    app().motionTimerRunning = true;
    app().paused = c.paused;
    app().movementEnabled = c.movement;
    const uint64_t before = GetTickCount64();
    EXPECT_TRUE(LiveCompanion::EndMenuOpenedBy([&] { ShowContextMenu(app(), POINT{400, 400}); }));
    EXPECT_EQ(app().motionTimerRunning, c.running);
    EXPECT_EQ(live_.TimerRunning(TIMER_MOTION, kMotionPeriodMs), c.running);
    EXPECT_GE(app().idleActionTick, before + 60000);
  }
}

// Each toggle or choice is saved at once; pausing also hides the bubble.
TEST_F(Menu, ChoicesAreSavedAtOnce) {
  app().bubbleVisible = true;
  app().freePlacement = true;
  const std::pair<uint32_t, const char*> kSteps[] = {
      {kCommandPause, "Paused=1"},           {kCommandPause, "Paused=0"},
      {kCommandMovement, "Movement=0"},      {kCommandOriginal, "YoungerPreview=0"},
      {kCommandYounger, "YoungerPreview=1"}, {kCommandReturnToTaskbar, "FreePlacement=0"},
      {707, "DisplaySeconds=300"},           {307, "GapSeconds=3600"},
  };
  const uint64_t before = GetTickCount64();
  for (const auto& [command, line] : kSteps) {
    RunMenuCommand(app(), command);
    EXPECT_TRUE(Saved(line)) << line;
    if (std::string(line) == "Paused=1") {
      EXPECT_FALSE(app().bubbleVisible);
    }
  }
  // The gap, chosen last, restarts the schedule from now.
  EXPECT_GE(app().nextScriptureTick, before + 3600000);
  EXPECT_LE(app().nextScriptureTick, GetTickCount64() + 3600000);
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
  EXPECT_TRUE(Saved("DisplaySeconds=45"));
}

// The bubble's clock starts over with the display time: for the support message, and for a new
// display time only while a bubble shows.
TEST_F(Menu, SupportMessageAndNewDisplayTimeRestartTheBubbleClock) {
  RunMenuCommand(app(), 707);
  EXPECT_FALSE(live_.TimerRunning(TIMER_BUBBLE, 300000));
  app().nextScriptureTick = GetTickCount64() + 60000;
  uint64_t before = GetTickCount64();
  RunMenuCommand(app(), kCommandSupport);
  EXPECT_TRUE(IsWindowVisible(app().bubbleWindow));
  EXPECT_EQ(app().nextScriptureTick, 0u);  // no automatic Scripture over the message
  EXPECT_GE(app().bubbleHideTick, before + 300000);
  EXPECT_TRUE(live_.TimerRunning(TIMER_BUBBLE, 300000));
  before = GetTickCount64();
  RunMenuCommand(app(), 700);
  EXPECT_GE(app().bubbleHideTick, before + 5000);
  EXPECT_LE(app().bubbleHideTick, GetTickCount64() + 5000);
  EXPECT_TRUE(live_.TimerRunning(TIMER_BUBBLE, 5000));
}

// The shift starts from where the figure stood before the resize, not from where the first
// re-placement pulled the larger figure.
TEST_F(Menu, SizeChangeKeepsAFreeFigureBottomCentre) {
  // Standing low on the screen, where the larger figure would not fit at the same top-left corner.
  app().freePlacement = true;
  RunMenuCommand(app(), 501);
  const int32_t x = app().positionX;
  const int32_t y = app().positionY;
  const float scale = app().characterScale;
  RunMenuCommand(app(), 502);
  EXPECT_GT(app().characterScale, scale);
  const ScreenPoint shift = FreeSizeShift(scale, app().characterScale);
  EXPECT_EQ(app().positionX, x + shift.x);
  EXPECT_EQ(app().positionY, y + shift.y);
}

TEST_F(Menu, DisplayChoiceStoresTheDeviceNameAndOneBeyondTheListOnlySaves) {
  ASSERT_FALSE(app().monitors.empty());
  RunMenuCommand(app(), 400);
  const std::u16string device = ToU16(app().monitors[0].info.szDevice);
  EXPECT_EQ(app().monitorDevice, device);
  DeleteFileW(AsWide(app().preferencesPath));
  RunMenuCommand(app(), 400 + static_cast<uint32_t>(app().monitors.size()));
  EXPECT_EQ(app().monitorDevice, device);
  EXPECT_TRUE(testing::FileExists(app().preferencesPath));
}

}  // namespace
}  // namespace companion
