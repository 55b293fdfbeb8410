#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a plain build, and a build
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

bash "$root/scripts/build.sh" "$root/build-release"
(cd "$root/build-release" && ctest --output-on-failure -j "$(nproc)")

bash "$root/scripts/build.sh" "$root/build-sanitize" -DKESTRUNE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$(nproc)")
