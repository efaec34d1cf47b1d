#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: installs only what is missing,
# and refreshes the package lists only when something is.
set -euo pipefail

packages=(
  # native build and tests
  build-essential cmake ninja-build pkg-config googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  # Windows cross build
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  # the setup program
  nsis
  # running and driving the program
  wine wine64 xvfb xauth x11-utils xdotool imagemagick
  # the serif family GDI+ falls back to under Wine, which has no Georgia
  fonts-liberation
  # art generator and data
  libcairo2-dev zlib1g-dev unicode-data
  # test servers
  python3 openssl ca-certificates
  # the Bible server and the web site: nginx in a private namespace, and its measurements
  nginx-light curl iproute2 util-linux wrk nghttp2-client
  # the web site's tests: a real browser, driven from node
  chromium
)

# npm fetches the pinned Bible texts; a machine may carry its own Node.js build with npm inside.
if ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  echo "bootstrap: installing ${missing[*]}"
  $sudo apt-get update -q
  # RUNLEVEL=1 keeps the package scripts from starting the machine's own nginx service: the
  # project starts nginx itself, on loopback, only while it needs it.
  $sudo env DEBIAN_FRONTEND=noninteractive RUNLEVEL=1 \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The browser driver for the site tests, at the version pinned in its lock file.
site_tests="$(dirname "${BASH_SOURCE[0]}")/../tests/site"
if [ ! -d "$site_tests/node_modules" ]; then
  echo "bootstrap: installing the site tests' node modules"
  (cd "$site_tests" && npm ci --no-audit --no-fund --loglevel=error)
fi
