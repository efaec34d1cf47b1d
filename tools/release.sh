#!/usr/bin/env bash
# Builds a release into dist/: the setup program, the portable zip and their SHA-256 checksums.
# The version is project()'s in CMakeLists.txt; it is inside the files (their version resources and
# the zip's read-me), so the names stay the same from release to release and links to them last.
# The three files are also copied to the local web site's downloads folder, which the site's root
# page links.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

tools/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)" --target companion_installer \
  companion_portable

dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist"
cp build/windows/installer/ScrollwickCompanion-Setup.exe \
  build/windows/installer/ScrollwickCompanion-Portable.zip "$dist/"
(cd "$dist" && sha256sum ScrollwickCompanion-Setup.exe ScrollwickCompanion-Portable.zip \
  >SHA256SUMS.txt)

downloads="$root/build/server/site-generated/downloads"
mkdir -p "$downloads"
cp "$dist"/ScrollwickCompanion-Setup.exe "$dist"/ScrollwickCompanion-Portable.zip \
  "$dist"/SHA256SUMS.txt "$downloads/"

version=$(sed -n 's/^project(ScrollwickCompanion VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
echo "Scrollwick Companion $version in $dist:"
(cd "$dist" && ls -l --time-style=+ ScrollwickCompanion-Setup.exe ScrollwickCompanion-Portable.zip \
  SHA256SUMS.txt | awk '{print "  " $NF ": " $5 " bytes"}')
echo "Copied to $downloads"
