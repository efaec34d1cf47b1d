#!/usr/bin/env bash
# Builds everything and runs every test tier: native unit tests (also under ASan/UBSan), short
# fuzzing runs, the Windows-tier tests and the end-to-end tests of the real program under Wine.
# Ends with one line "N passed, N failed"; the exit status is non-zero when anything failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

tools/bootstrap.sh || exit 1

jobs=$(nproc 2>/dev/null || echo 2)
passed=0
failed=0
broken=()

# run_tier <preset> [ctest arguments...]
run_tier() {
  local preset=$1
  shift
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    broken+=("$preset (build)")
    failed=$((failed + 1))
    return
  fi
  echo "=== $preset: test"
  local log
  log=$(mktemp)
  ctest --preset "$preset" "$@" 2>&1 | tee "$log"
  local summary total bad
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -z "$summary" ] && grep -q 'No tests were found' "$log"; then
    echo "($preset: no tests of this kind yet)"
  elif [ -z "$summary" ]; then
    broken+=("$preset (no test summary)")
    failed=$((failed + 1))
  else
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$bad" -eq 0 ] || broken+=("$preset")
  fi
  rm -f "$log"
}

# Counted checks of the source tree: portable files stay standard C++, and no folder reaches
# up into app/ nor back up to a higher one without a recorded reason.
check() {  # NAME COMMAND...
  local name=$1
  shift
  echo "=== $name"
  if "$@"; then
    passed=$((passed + 1))
  else
    broken+=("$name")
    failed=$((failed + 1))
  fi
}
check "portable files" tools/check-portable.sh
check "structure" tools/structure.py --check

run_tier native -j "$jobs"
run_tier native-asan -j "$jobs"
run_tier native-fuzz -L fuzz

# The Windows tiers share one virtual display, so Wine starts once for all of them.
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :87 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:87
  trap 'kill $xvfb_pid 2>/dev/null' EXIT
  sleep 1
fi
run_tier windows
WINEPREFIX="$root/build/windows/wineprefix-test" wineserver -k 2>/dev/null

tools/test-ratio.sh || true

if [ ${#broken[@]} -gt 0 ]; then
  echo "failing: ${broken[*]}"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
