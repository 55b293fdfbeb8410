#!/usr/bin/env bash
# Configures and builds Kestrune. Usage: scripts/build.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build-release"}
shift || true
# A compiler cache, where one is installed, makes rebuilds of other trees of the same sources quick.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Our own builds (and so the tests and CI) make every warning an error.
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUNE_WERROR=ON \
  "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
