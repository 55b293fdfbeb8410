#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a plain build, and a build
# under AddressSanitizer and UndefinedBehaviorSanitizer. Both include the kill test in a short
# form. Last, the fuzz targets (clang, libFuzzer) each run for a short smoke time.
#
# The plain build's tests run while the sanitizer build compiles: most of their time is the
# on-air tests waiting for the clock, and the compiler, at a lower priority, takes only what
# they leave.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

bash "$root/scripts/build.sh" "$root/build-release"
release_log="$root/build-release/ctest-output.txt"
(cd "$root/build-release" && ctest --output-on-failure -j "$(nproc)" >"$release_log" 2>&1) &
release_tests=$!
# Should the sanitizer build fail, the tests still running stop with the script.
trap 'kill "$release_tests" 2>/dev/null || true' EXIT

nice -n 15 bash "$root/scripts/build.sh" "$root/build-sanitize" -DKESTRUNE_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug
release_status=0
wait "$release_tests" || release_status=$?
trap - EXIT
cat "$release_log"
[ "$release_status" -eq 0 ] || { echo "The plain build's tests failed." >&2; exit "$release_status"; }

(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$(nproc)")

bash "$root/scripts/build.sh" "$root/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DKESTRUNE_FUZZ=ON
(cd "$root/build-fuzz" && ctest --output-on-failure -j "$(nproc)")
