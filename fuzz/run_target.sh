#!/usr/bin/env bash
# Runs one libFuzzer target for a given time over its seeds, its saved regression inputs and
# the corpus it grew in earlier runs, and reports how many inputs it ran.
#
# usage: run_target.sh FUZZER TARGET SECONDS SEEDS REGRESSIONS WORK
#   SEEDS/TARGET and REGRESSIONS/TARGET are read; WORK/corpus/TARGET grows; a crash, a hang or
#   a finding is kept in WORK/findings/TARGET and makes the script fail.
set -euo pipefail
fuzzer=$1 target=$2 seconds=$3 seeds=$4 regressions=$5 work=$6
corpus=$work/corpus/$target
findings=$work/findings/$target
log=$work/logs/$target.log
mkdir -p "$corpus" "$findings" "$(dirname "$log")"
dirs=("$corpus")
for d in "$seeds/$target" "$regressions/$target"; do
  [ -d "$d" ] && dirs+=("$d")
done
status=0
# A fresh process for every input that crashes would hide a slow leak; -rss_limit_mb and
# -timeout turn runaway memory and hangs into findings of their own.
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 -artifact_prefix="$findings/" "${dirs[@]}" >"$log" 2>&1 || status=$?
runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
echo "$target: ${runs:-0} executions in ${seconds} s, exit status $status"
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  echo "$target: findings kept in $findings"
  exit 1
fi
