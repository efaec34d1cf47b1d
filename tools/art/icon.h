// The program icon: a sheep's head drawn separately for each icon size, packed as a .ico file.
#pragma once

#include <cstdint>
#include <vector>

namespace art {

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The whole .ico file: one 32-bit image per size; BMP entries, PNG for 256.
std::vector<std::uint8_t> BuildIcon();

}  // namespace art
