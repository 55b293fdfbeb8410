#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a plain build, and a build
# under AddressSanitizer and UndefinedBehaviorSanitizer. Both include the kill test in a short
# form. Last, the fuzz targets (clang, libFuzzer) each run for a short smoke time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

bash "$root/scripts/build.sh" "$root/build-release"
(cd "$root/build-release" && ctest --output-on-failure -j "$(nproc)")

bash "$root/scripts/build.sh" "$root/build-sanitize" -DKESTRUNE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$(nproc)")

bash "$root/scripts/build.sh" "$root/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DKESTRUNE_FUZZ=ON
(cd "$root/build-fuzz" && ctest --output-on-failure -j "$(nproc)")
