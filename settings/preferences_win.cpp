#include "settings/preferences_win.h"

#include <windows.h>
#include <shlobj.h>

#include <stdexcept>

#include "base/companion_app_win.h"
#include "base/messages.h"
#include "base/owners_win.h"
#include "base/replace_file_win.h"
#include "base/wide_win.h"
#include "scripture/catalogue.h"
#include "scripture/requests.h"
#include "settings/preferences.h"

namespace companion {

namespace {

constexpr char16_t kSection[] = u"Companion";
constexpr char16_t kSaveFailureText[] =
    u"Preferences could not be saved locally. The companion will still work, but changes may be "
    u"lost when it exits.";

int32_t ReadInt(const std::u16string& path, const char16_t* key, int32_t fallback) {
  // The INI read parses a leading sign, so a stored negative position comes back negative.
  return static_cast<int32_t>(
      GetPrivateProfileIntW(AsWide(kSection), AsWide(key), fallback, AsWide(path)));
}

PreferenceValues ReadPreferences(const std::u16string& path) {
  PreferenceValues v;
  v.displaySeconds = ReadInt(path, u"DisplaySeconds", 10);
  v.gapSeconds = ReadInt(path, u"GapSeconds", 60);
  v.translationIndex = ReadInt(path, u"Translation", 0);
  v.sizeMultiple = ReadInt(path, u"SizeMultiple", 1);
  v.scripturesViewed = ReadInt(path, u"ScripturesViewed", 0);
  v.categoryIndex = ReadInt(path, u"Category", 0);
  v.promptMinutes = ReadInt(path, u"PromptMinutes", 0);
  v.movementEnabled = ReadInt(path, u"Movement", 1) != 0;
  v.paused = ReadInt(path, u"Paused", 0) != 0;
  v.younger = ReadInt(path, u"YoungerPreview", 1) != 0;
  // Older files stored the free position under other names; they supply the defaults.
  const int32_t freePosition = ReadInt(path, u"FreePosition", 0);
  v.freePlacement = ReadInt(path, u"FreePlacement", freePosition) != 0;
  const int32_t desktopX = ReadInt(path, u"DesktopX", 0);
  v.positionX = ReadInt(path, u"PositionX", desktopX);
  const int32_t desktopY = ReadInt(path, u"DesktopY", 0);
  v.positionY = ReadInt(path, u"PositionY", desktopY);
  wchar_t monitor[kMonitorDeviceMaxLength + 1] = {};
  GetPrivateProfileStringW(AsWide(kSection), L"Monitor", L"", monitor,
                           static_cast<DWORD>(std::size(monitor)), AsWide(path));
  v.monitorDevice = ToU16(monitor);
  return v;
}

void ApplyPreferences(CompanionApp& app, const PreferenceValues& v) {
  app.preferences.displaySeconds = v.displaySeconds;
  app.preferences.gapSeconds = v.gapSeconds;
  app.preferences.translationIndex = v.translationIndex;
  app.preferences.sizeMultiple = v.sizeMultiple;
  app.preferences.scripturesViewed = v.scripturesViewed;
  app.preferences.categoryIndex = v.categoryIndex;
  app.preferences.promptMinutes = v.promptMinutes;
  app.preferences.movementEnabled = v.movementEnabled;
  app.preferences.paused = v.paused;
  SetYounger(app.figure.characterArt, v.younger);
  app.preferences.freePlacement = v.freePlacement;
  app.preferences.positionX = v.positionX;
  app.preferences.positionY = v.positionY;
  app.preferences.monitorDevice = v.monitorDevice;
}

// The move is journaled as soon as it is made, but the data of the file it moves may still be in
// the system's cache; after a power loss the new name could then hold an empty file. Writing the
// data out first makes the replacement all or nothing.
bool FlushToDisk(const std::u16string& path) {
  const FileHandle file(CreateFileW(AsWide(path), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid() && FlushFileBuffers(file.Get()) != FALSE;
}

bool WriteString(const std::u16string& path, const char16_t* key, const std::u16string& value) {
  return WritePrivateProfileStringW(AsWide(kSection), AsWide(key), AsWide(value), AsWide(path)) !=
         FALSE;
}

}  // namespace

void LoadPreferences(CompanionApp& app) {
  CoTaskText base;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, base.Put()))) {
    throw std::runtime_error("Cannot find local preferences directory");
  }
  LoadPreferencesFrom(app, ToU16(base.Get()));
}

void LoadPreferencesFrom(CompanionApp& app, const std::u16string& baseFolder) {
  app.preferences.preferencesFolder = baseFolder + u"\\Scrollwick";
  CreateDirectoryW(AsWide(app.preferences.preferencesFolder), nullptr);
  app.preferences.preferencesFolder += u"\\Companion";
  CreateDirectoryW(AsWide(app.preferences.preferencesFolder), nullptr);
  app.preferences.preferencesPath = app.preferences.preferencesFolder + u"\\preferences.ini";

  PreferenceValues values = ReadPreferences(app.preferences.preferencesPath);
  ValidatePreferences(values, static_cast<int32_t>(ScriptureCategories.size()));
  ApplyPreferences(app, values);
}

void WritePreferenceInt(PreferenceSaveState& state, const char16_t* key, int32_t value) {
  if (!WriteString(state.temporaryPath, key, PreferenceText(value))) state.ok = false;
}

void SavePreferences(CompanionApp& app) {
  PreferenceSaveState state{app.preferences.preferencesPath + u".tmp"};
  if (!WriteString(state.temporaryPath, u"Version", PreferenceText(kPreferencesVersion))) {
    state.ok = false;
  }
  WritePreferenceInt(state, u"DisplaySeconds", app.preferences.displaySeconds);
  WritePreferenceInt(state, u"GapSeconds", app.preferences.gapSeconds);
  WritePreferenceInt(state, u"Translation", app.preferences.translationIndex);
  WritePreferenceInt(state, u"SizeMultiple", app.preferences.sizeMultiple);
  WritePreferenceInt(state, u"YoungerPreview", app.figure.characterArt.younger);
  WritePreferenceInt(state, u"ScripturesViewed", app.preferences.scripturesViewed);
  WritePreferenceInt(state, u"Category", app.preferences.categoryIndex);
  WritePreferenceInt(state, u"PromptMinutes", app.preferences.promptMinutes);
  WritePreferenceInt(state, u"Movement", app.preferences.movementEnabled);
  WritePreferenceInt(state, u"Paused", app.preferences.paused);
  WritePreferenceInt(state, u"FreePlacement", app.preferences.freePlacement);
  WritePreferenceInt(state, u"PositionX", app.preferences.positionX);
  WritePreferenceInt(state, u"PositionY", app.preferences.positionY);
  if (!WriteString(state.temporaryPath, u"Monitor", app.preferences.monitorDevice))
    state.ok = false;
  // Writes out what the INI functions may still hold of the file in their own cache.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, AsWide(state.temporaryPath));
  if (!FlushToDisk(state.temporaryPath)) state.ok = false;

  if (state.ok && ReplaceWithTemporaryFile(state.temporaryPath, app.preferences.preferencesPath))
    return;
  if (!app.preferences.saveFailureReported) {
    app.preferences.saveFailureReported = true;
    MessageBoxW(app.shell.companionWindow, AsWide(kSaveFailureText), AsWide(kCompanionTitle),
                MB_OK | MB_ICONINFORMATION);
  }
}

void CountScriptureViewed(CompanionApp& app) {
  app.preferences.scripturesViewed = RaisedScripturesViewed(app.preferences.scripturesViewed);
  SavePreferences(app);
}

void ForgetScripturesViewed(CompanionApp& app) {
  app.preferences.scripturesViewed = 0;
  SavePreferences(app);
}

}  // namespace companion
