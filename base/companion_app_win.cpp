#include "base/companion_app_win.h"

namespace companion {

CompanionApp::CompanionApp() {
  std::random_device device;
  SeedOfflineVerseBag(offlineBag, device());
  scriptureRandom.seed(device());
  lastInteractionTick = GetTickCount64();
}

}  // namespace companion
