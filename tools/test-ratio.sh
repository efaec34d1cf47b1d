#!/usr/bin/env bash
# Prints how many non-blank lines of tests there are for each non-blank line of code, over the
# files git tracks: C++ alone, and all source languages (C++, Python, shell, JavaScript, HTML,
# CSS, NSIS). Tests are *_test.*, *_e2e.*, *_fuzzer.*, test support files and everything under
# tests/ (the harness and the end-to-end scripts). Generated tables, the fuzzing corpus and the
# measuring programs (benchmarks and measure_*: they print figures and check nothing) count as
# neither.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

count() {  # FILES on stdin: their non-blank lines
  local total=0 n
  while IFS= read -r f; do
    n=$(grep -c '[^[:space:]]' "$f" || true)
    total=$((total + n))
  done
  echo "$total"
}

files=$(git ls-files | grep -E '\.(cpp|h|py|sh|js|mjs|html|css|nsi|nsh)$' |
  grep -vE '(^|/)corpus/|\.inc$|(^|/)node_modules/|_benchmark\.|(^|/)measure_' || true)
is_test='(^|/)tests/|_test\.|_test_support|_test_cases|_e2e\.|_fuzzer\.'
cpp='\.(cpp|h)$'

ratio() {  # LABEL FILTER
  local tests code
  tests=$(grep -E "$2" <<<"$files" | grep -E "$is_test" | count)
  code=$(grep -E "$2" <<<"$files" | grep -vE "$is_test" | count)
  awk -v l="$1" -v t="$tests" -v c="$code" \
    'BEGIN { printf "test lines / code lines (%s): %d / %d = %.2f\n", l, t, c, t / c }'
}

ratio "C++" "$cpp"
ratio "all sources" "."
