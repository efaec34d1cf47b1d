#pragma once
#include <string>

namespace companion {

// One remembered Scripture; the translation code is "web" for an offline verse.
struct ScriptureHistoryEntry {
  std::u16string text;
  std::u16string reference;
  std::u16string translationCode;
  bool offline = false;
};

}  // namespace companion
