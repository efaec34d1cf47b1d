#!/usr/bin/env bash
# Checks that the portable files (C++ without the _win suffix, the art generator included) use no
# compiler-specific extension and no Windows header, so they build with any C++20 compiler for
# x86-64 (g++, clang, MSVC, clang-cl). Prints every offending line; the exit status is 1 when there is one.
#
#   tools/check-portable.sh
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# GNU and MSVC spellings of attributes, builtins, inline assembly, vector and integer types,
# compiler pragmas, and the Windows headers that only _win files may include.
pattern='__attribute__|__builtin_|__declspec|__asm|\basm\s*\(|__extension__|__typeof|\btypeof\s*\(|'
pattern+='__int128|vector_size|__forceinline|__restrict|_Pragma|#\s*pragma\s+(GCC|clang|warning)|'
pattern+='#\s*include\s*[<"](windows|winhttp|shellapi|gdiplus|objbase|commctrl)\.h[>"]|_win\.h"'

mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.inc' | grep -v -E '_win(_test)?\.(cpp|h)$')
found=$(grep -n -H -E "$pattern" "${files[@]}")
if [ -n "$found" ]; then
  echo "$found"
  echo "portable files: compiler-specific or Windows-only code in the lines above"
  exit 1
fi
echo "portable files: ${#files[@]} checked, standard C++ only"
