#include "settings/preferences_win.h"

#include <windows.h>
#include <shlobj.h>

#include <stdexcept>
#include <type_traits>
#include <variant>

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
  PreferenceValues values;
  for (const PreferenceField& field : PreferenceFields()) {
    const int32_t fallback =
        field.olderKey ? ReadInt(path, field.olderKey, field.defaultValue) : field.defaultValue;
    std::visit(
        [&](auto member) {
          using Member = std::remove_reference_t<decltype(values.*member)>;
          if constexpr (std::is_same_v<Member, std::u16string>) {
            wchar_t text[kMonitorDeviceMaxLength + 1] = {};
            GetPrivateProfileStringW(AsWide(kSection), AsWide(field.key), L"", text,
                                     static_cast<DWORD>(std::size(text)), AsWide(path));
            values.*member = ToU16(text);
          } else if constexpr (std::is_same_v<Member, bool>) {
            values.*member = ReadInt(path, field.key, fallback) != 0;
          } else {
            values.*member = ReadInt(path, field.key, fallback);
          }
        },
        field.member);
  }
  return values;
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

bool WriteField(const std::u16string& path, const PreferenceField& field,
                const PreferenceValues& values) {
  const std::u16string text = std::visit(
      [&](auto member) -> std::u16string {
        using Member = std::remove_cvref_t<decltype(values.*member)>;
        if constexpr (std::is_same_v<Member, std::u16string>) {
          return values.*member;
        } else {
          return PreferenceText(static_cast<int32_t>(values.*member));
        }
      },
      field.member);
  return WriteString(path, field.key, text);
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
  ValidatePreferences(values);
  static_cast<PreferenceValues&>(app.preferences) = values;
  SetYounger(app.figure.characterArt, values.younger);
}

void SavePreferences(CompanionApp& app) {
  const std::u16string temporaryPath = app.preferences.preferencesPath + u".tmp";
  bool ok = WriteString(temporaryPath, u"Version", PreferenceText(kPreferencesVersion));
  for (const PreferenceField& field : PreferenceFields()) {
    ok = WriteField(temporaryPath, field, app.preferences) && ok;
  }
  // Writes out what the INI functions may still hold of the file in their own cache.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, AsWide(temporaryPath));
  ok = FlushToDisk(temporaryPath) && ok;

  if (ok && ReplaceWithTemporaryFile(temporaryPath, app.preferences.preferencesPath)) return;
  if (!app.preferences.saveFailureReported) {
    app.preferences.saveFailureReported = true;
    MessageBoxW(app.shell.companionWindow, AsWide(kSaveFailureText), AsWide(kCompanionTitle),
                MB_OK | MB_ICONINFORMATION);
  }
}

void SetPreference(CompanionApp& app, int32_t PreferenceValues::*member, int32_t value) {
  app.preferences.*member = AcceptedValue(PreferenceFieldOf(member), value);
}

void SetPreference(CompanionApp& app, bool PreferenceValues::*member, bool value) {
  app.preferences.*member = value;
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
