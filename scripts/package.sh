#!/usr/bin/env bash
# Makes the Debian package kestrune_VERSION-1_ARCH.deb from a release build tree (built first
# when it is not there yet) and checks it with lintian: errors fail, warnings are shown.
#
# usage: scripts/package.sh [BUILD_DIR] [OUTPUT_DIR]
#   BUILD_DIR   default build-release; an existing tree is reused as it is configured
#   OUTPUT_DIR  where the .deb goes (default BUILD_DIR/package)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-release"}
out=${2:-"$build/package"}

if [ ! -f "$build/CPackConfig.cmake" ]; then
  bash "$root/scripts/setup.sh"
  bash "$root/scripts/build.sh" "$build"
fi
# Only what goes into the package; a built tree has nothing to do here.
cmake --build "$build" -j "$(nproc)" \
  --target kestrune-cli kestrune demo-station system-layout-files >/dev/null
mkdir -p "$out"
rm -f "$out"/kestrune_*.deb
(cd "$out" && cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
deb=$(ls "$out"/kestrune_*.deb)

if command -v lintian >/dev/null; then
  # Root may run lintian only when it says so.
  lintian --allow-root --fail-on error --info "$deb" >&2
else
  echo "lintian is not installed (scripts/setup.sh installs it): the package is not checked" >&2
fi
echo "$deb"
