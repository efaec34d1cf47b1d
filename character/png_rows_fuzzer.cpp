// Any bytes either decode or fail with the one message; a crash, an overrun or any other
// exception is a fault.
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "character/png_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    companion::ReadPngRows({data, size}, [](std::int32_t, const std::uint8_t*) {});
  } catch (const std::runtime_error& error) {
    if (std::strcmp(error.what(), "Invalid PNG") != 0) std::abort();
  }
  return 0;
}
