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
  libcairo2-dev zlib1g-dev unicode-data rapidjson-dev
  # test servers
  python3 openssl ca-certificates
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "bootstrap: installing ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
