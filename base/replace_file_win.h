#pragma once
#include <string>

namespace companion {

// Moves a completely written temporary file over `path` in one step, so that a reader finds the
// old file or the new one, never part of one. Every file the companion rewrites whole goes this
// way. False when the move failed; the old file is then untouched.
bool ReplaceWithTemporaryFile(const std::u16string& temporaryPath, const std::u16string& path);

}  // namespace companion
