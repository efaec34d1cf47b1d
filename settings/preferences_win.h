#pragma once
// The preferences file: one "Companion" section of an INI file under the user's local
// application data, replaced as a whole on every save.
#include <string>

#include "settings/preferences.h"

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

// Changes one stored value in memory, brought into its accepted values; SavePreferences stores it.
void SetPreference(CompanionApp& app, int32_t PreferenceValues::*member, int32_t value);
void SetPreference(CompanionApp& app, bool PreferenceValues::*member, bool value);
// One more Scripture shown, counted toward the support message and saved.
void CountScriptureViewed(CompanionApp& app);
// The support message was seen: the count starts again, saved.
void ForgetScripturesViewed(CompanionApp& app);

}  // namespace companion
