#!/usr/bin/env bash
# Measures Kestrune where the user waits and prints one table: the MP3 reader beside TagLib and
# its I/O floor, the 24-hour build (plain and with every separation rule on) and the tag pass
# beside their I/O floors, the check of a day's playlist, the quick list, loading an exported
# playlist, the start-up, and how the reader, the build and the tag pass grow from 1,000 to
# 50,000 files (the tag pass to 100,000).
# Every figure of a row comes from this one run, the contestants taking turns.
#
# usage: scripts/bench.sh [RESULTS_FOLDER]    (default: build-release/bench-results)
#   KESTRUNE_BENCH_DIR=FOLDER   where the generated files go (default: the system's temporary
#                               folder); the tag pass is measured there and on /dev/shm.
# Takes a few minutes; most of it is making the 100,000 files of the tag pass.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build-release" >/dev/null
bench="$root/build-release/bench"
out=${1:-"$root/build-release/bench-results"}
mkdir -p "$out"
rm -f "$out"/*.json "$out"/*.log

# The generated files of all benchmarks stay until the end (removing tens of thousands of files
# makes some file systems slow to create new ones for a while after); then they all go.
work=$(mktemp -d "${KESTRUNE_BENCH_DIR:-${TMPDIR:-/tmp}}/kestrune-bench.XXXXXX")
ram=""
if [ -d /dev/shm ] && [ -w /dev/shm ]; then ram=$(mktemp -d /dev/shm/kestrune-bench.XXXXXX); fi
trap 'rm -rf "$work" ${ram:+"$ram"}' EXIT
export KESTRUNE_BENCH_DIR="$work" KESTRUNE_BENCH_KEEP=1

{
  echo "date=$(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -n1)"
  echo "cores=$(nproc)"
  echo "memory=$(free -g | awk '/^Mem:/ {print $2 " GiB"}')"
  echo "kernel=$(uname -r)"
  echo "disk=$(df -T "$work" | awk 'NR == 2 {print $2 " on " $1}')"
  echo "load_before=$(cut -d' ' -f1-3 /proc/loadavg)"
} >"$out/machine.txt"

run() {  # NAME OUTPUT [benchmark options...]
  local name=$1 output=$2
  shift 2
  echo "running $name${*:+ $*}" >&2
  "$bench/$name" --benchmark_out="$out/$output.json" --benchmark_out_format=json "$@" \
    >"$out/$output.log" 2>&1 || { cat "$out/$output.log" >&2; exit 1; }
}

run TagPlaylistsBench tags
if [ -n "$ram" ]; then  # the same pass on a RAM file system: what is left without the disk
  (export KESTRUNE_BENCH_DIR="$ram"; run TagPlaylistsBench tags-ram) || exit 1
fi
run BuilderBench build
run ClockFillBench clockfill
run ReaderBench reader
run QuickListBench quicklist
run PlaylistLoadBench load
# The program's start-up on a real X server when there is no display here.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  xvfb-run -a -s '-screen 0 1280x1024x24' "$bench/AppBench" --benchmark_out="$out/app.json" \
    --benchmark_out_format=json >"$out/app.log" 2>&1 || { cat "$out/app.log" >&2; exit 1; }
else
  run AppBench app
fi

echo "load_after=$(cut -d' ' -f1-3 /proc/loadavg)" >>"$out/machine.txt"
python3 "$root/bench/table.py" "$out" | tee "$out/table.txt"
