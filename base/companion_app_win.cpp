#include "base/companion_app_win.h"

namespace companion {

CompanionApp::CompanionApp() {
  std::random_device device;
  static_cast<PreferenceValues&>(preferences) = DefaultPreferences();
  SeedOfflineVerseBag(scripture.offlineBag, device());
  scriptureRandom.seed(device());
  motion.lastInteractionTick = GetTickCount64();
}

}  // namespace companion
