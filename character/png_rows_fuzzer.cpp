// Any bytes either decode to the header's rows, each once, top to bottom, or fail with the one
// message; a crash, an overrun or any other outcome is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "character/png_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> png(data, size);
  try {
    const companion::PngSize header = companion::ReadPngSize(png);
    std::int32_t nextY = 0;
    std::uint32_t sum = 0;
    companion::ReadPngRows(png, [&](std::int32_t y, const std::uint8_t* rgba) {
      if (y != nextY++ || y >= header.height) std::abort();
      // Every byte is read, so the sanitizer sees a row shorter than its width.
      for (std::int32_t i = 0; i < header.width * 4; ++i)
        sum += rgba[i];
    });
    if (nextY != header.height) std::abort();
    static volatile std::uint32_t kept;
    kept = sum;
  } catch (const std::runtime_error& error) {
    if (std::strcmp(error.what(), "Invalid PNG") != 0) std::abort();
  }
  return 0;
}
