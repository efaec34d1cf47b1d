#include <windows.h>

#include "base/wide_win.h"
#include "scripture/book_source.h"

namespace companion {

int ConvertUtf8ToUtf16(const char* bytes, int byteCount, char16_t* out, int outCapacity) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteCount, AsWritableWide(out),
                             outCapacity);
}

}  // namespace companion
