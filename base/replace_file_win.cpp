#include "base/replace_file_win.h"

#include <windows.h>

#include "base/wide_win.h"

namespace companion {

bool ReplaceWithTemporaryFile(const std::u16string& temporaryPath, const std::u16string& path) {
  return MoveFileExW(AsWide(temporaryPath), AsWide(path),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace companion
