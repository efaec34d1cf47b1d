#pragma once
// The preferences file: one "Companion" section of an INI file under the user's local
// application data, replaced as a whole on every save.
#include <string>

namespace companion {

struct CompanionApp;

// Fills the preference members from "%LOCALAPPDATA%\Scrollwick\Companion\preferences.ini".
// Throws "Cannot find local preferences directory" when the base folder cannot be obtained.
void LoadPreferences(CompanionApp& app);
// As LoadPreferences, with the base folder given (the program passes the local app-data folder).
void LoadPreferencesFrom(CompanionApp& app, const std::u16string& baseFolder);

// Writes every stored value into "preferences.ini.tmp" and moves it over the file. A failure is
// reported to the user once per run; the values in memory stay.
void SavePreferences(CompanionApp& app);

// One more Scripture shown, counted toward the support message and saved.
void CountScriptureViewed(CompanionApp& app);
// The support message was seen: the count starts again, saved.
void ForgetScripturesViewed(CompanionApp& app);

struct PreferenceSaveState {
  std::u16string temporaryPath;
  bool ok = true;
};
// Writes one integer key into the temporary file; a failed write clears state.ok.
void WritePreferenceInt(PreferenceSaveState& state, const char16_t* key, int32_t value);

}  // namespace companion
