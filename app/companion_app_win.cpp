#include "app/companion_app_win.h"

namespace companion {

CompanionApp::CompanionApp() {
  std::random_device device;
  scriptureRandom.seed(device());
  lastInteractionTick = GetTickCount64();
}

}  // namespace companion
