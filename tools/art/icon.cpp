#include "icon.h"

namespace art {

std::vector<std::uint8_t> BuildIcon() {
  return {};
}

}  // namespace art
