#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each for the given time, over the seed corpora, the saved regression
# inputs and the corpus grown by earlier runs (build-fuzz/fuzz-work/corpus/).
#
# usage: scripts/fuzz.sh [SECONDS] [TARGET...]     (default: 60 seconds, every target)
#   FUZZ_JOBS=2 runs two targets at a time. A finding is kept in
#   build-fuzz/fuzz-work/findings/TARGET/; turn it into a small file under
#   tests/reliability/regressions/TARGET/ once its cause is mended.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
jobs=${FUZZ_JOBS:-1}
build=$root/build-fuzz

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DKESTRUNE_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
"$build/fuzz/kestrune_fuzz_seeds" "$build/fuzz-seeds"
# Every target the build made (the one list is fuzz/CMakeLists.txt's).
if [ ${#targets[@]} -eq 0 ]; then
  for fuzzer in "$build"/fuzz/fuzz_*; do targets+=("${fuzzer##*/fuzz_}"); done
fi

failed=0
run() {
  "$root/fuzz/run_target.sh" "$build/fuzz/fuzz_$1" "$1" "$seconds" "$build/fuzz-seeds" \
    "$root/tests/reliability/regressions" "$build/fuzz-work"
}
pids=()
for target in "${targets[@]}"; do
  run "$target" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit $failed
