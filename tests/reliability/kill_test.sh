#!/usr/bin/env bash
# The kill test: builds a station of MP3 files and category playlists, then starts
# `kestrune-cli build`, `schedule`, `tags` and `week` (the last with the play history kept)
# again and again and kills each with SIGKILL at a random moment of its run. After every kill:
#   - every category playlist holds exactly the lines it held before (as a multiset);
#   - every tag playlist is a whole beginning of what an uninterrupted run writes;
#   - the play history is whole and every line of it reads as a play;
#   - the week keeps its categories in rotation (written once a build, with their rounds in the
#     sessions folder's rotation.txt): every line of that file is a category of the station;
#   - no playlist, log or tag playlist is empty or ends in the middle of a line, and every line
#     of a playlist names a file of the station;
#   - a temporary file may be left by the kill, but the next run that completes leaves none.
#
# usage: kill_test.sh BUILD_DIR KILLS [WORK_DIR]
#   BUILD_DIR holds src/cli/kestrune-cli and tests/reliability/kestrune_kill_station. Needs lame.
#   KILL_TEST_SEED fixes the random moments; KILL_TEST_KEEP=1 keeps the work folder.
set -euo pipefail
build=$(cd "$1" && pwd)
kills_wanted=$2
work=${3:-$(mktemp -d "${TMPDIR:-/tmp}/kestrune-kill-XXXXXX")}
RANDOM=${KILL_TEST_SEED:-$$}
cleanup() { [ "${KILL_TEST_KEEP:-0}" = 1 ] || rm -rf "$work"; }
trap cleanup EXIT

fail() {
  echo "KILL TEST FAILED: $*" >&2
  KILL_TEST_KEEP=1
  echo "work folder kept: $work" >&2
  exit 1
}

# The tool in a folder of its own, so that no configuration file beside the build's copy
# changes where it writes.
mkdir -p "$work/bin"
cp "$build/src/cli/kestrune-cli" "$work/bin/"
cli=$work/bin/kestrune-cli
# A second copy whose configuration keeps the play history and the rotation, for the week's runs.
mkdir -p "$work/bin-history"
cp "$build/src/cli/kestrune-cli" "$work/bin-history/"
printf '[Rules]\r\nhistory=1\r\n[Rotation]\r\norder=rotate\r\n' >"$work/bin-history/kestrune.ini"
history_cli=$work/bin-history/kestrune-cli
station=$work/station
"$build/tests/reliability/kestrune_kill_station" make "$station"
command -v lame >/dev/null || fail "the lame encoder is not installed"
i=0
for raw in "$station"/Music/Lame/*.raw; do
  lame --quiet -r -s 22.05 --bitwidth 16 -m m --signed --little-endian -b 32 --cbr \
    --add-id3v2 --tt "Encoded $i" --ta "Lame Voice" --tl "Encoded" --ty 2024 --tg Pop \
    "$raw" "${raw%.raw}.mp3" 2>/dev/null
  rm "$raw"
  i=$((i + 1))
done
cd "$station"

mkdir -p "$work/initial" "$work/tags-reference"
cp Playlists/*.m3u "$work/initial/"

# Checks the station; sets `temporaries` to the number of temporary files in it.
check_station() {
  "$build/tests/reliability/kestrune_kill_station" check "$station" "$work/initial" \
    "$work/tags-reference" >"$work/check" || fail "$1: $(cat "$work/check")"
  temporaries=$(cat "$work/check")
  local rotation category round
  rotation=$(find . -name rotation.txt -print -quit)
  if [ -n "$rotation" ]; then
    while IFS=$'\t' read -r category round; do
      category=${category%$'\r'}
      [ -f "$category" ] || fail "$1: $rotation names no category: $category"
    done <"$rotation"
  fi
}

run_verb() {  # the command line of one run of a verb
  case $1 in
    build) echo "$cli build Sessions/day.cwt --seed $2" ;;
    schedule) echo "$cli schedule --seed $2" ;;
    tags) echo "$cli tags Music --artist --album --year --genre" ;;
    week) echo "$history_cli week Sessions/week.kwg --from 2026-12-07 --days 1 --seed $2" ;;
  esac
}

clear_tags() { find Playlists -maxdepth 1 -name '_*' -type f -delete; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Uninterrupted runs: the tag playlists to compare with, and how long each verb takes.
declare -A duration
for verb in tags build schedule week; do
  clear_tags
  start=$(now_ms)
  $(run_verb $verb 1) >/dev/null 2>"$work/err" || fail "uninterrupted $verb: $(cat "$work/err")"
  duration[$verb]=$(($(now_ms) - start))
  [ "$verb" = tags ] && cp Playlists/_* "$work/tags-reference/"
  check_station "after an uninterrupted $verb"
  [ "$temporaries" = 0 ] || fail "an uninterrupted $verb left a temporary file"
done
clear_tags
echo "uninterrupted runs: build ${duration[build]} ms, schedule ${duration[schedule]} ms," \
  "tags ${duration[tags]} ms, week ${duration[week]} ms"

# Every verb once to its end: each must succeed, and together they write every file that a
# kill can have left a temporary file for, so none may be left afterwards.
complete_all() {
  local verb
  for verb in build schedule tags week; do
    [ "$verb" = tags ] && clear_tags
    $(run_verb $verb "$1") >/dev/null 2>"$work/err" || fail "$verb to its end: $(cat "$work/err")"
  done
  check_station "after runs to their end"
  [ "$temporaries" = 0 ] || fail "runs to their end left $temporaries temporary files"
  for file in "$work"/tags-reference/*; do
    cmp -s "$file" "Playlists/$(basename "$file")" || fail "tag playlists differ from the reference"
  done
}

kills=0 finished=0 leftovers_seen=0 completions=0 round=0
verbs=(build schedule tags week)
while [ "$kills" -lt "$kills_wanted" ]; do
  round=$((round + 1))
  if [ $((round % 25)) -eq 0 ]; then
    complete_all "$round"
    completions=$((completions + 1))
    continue
  fi
  verb=${verbs[$((round % 4))]}
  [ "$verb" = tags ] && clear_tags  # tags appends: each run starts from no tag playlists
  window=$((duration[$verb] * 105 / 100 + 1))
  delay=$(((RANDOM * 32768 + RANDOM) % window))
  $(run_verb $verb $round) >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
  kill -KILL "$pid" 2>/dev/null || true
  status=0
  { wait "$pid"; } 2>/dev/null || status=$?  # without the shell's "Killed" notice
  if [ "$status" -eq 137 ]; then
    kills=$((kills + 1))
  elif [ "$status" -eq 0 ]; then
    finished=$((finished + 1))
  else
    fail "run $round ($verb) ended with status $status"
  fi
  check_station "after kill $kills (run $round, $verb, ${delay} ms)"
  [ "$temporaries" -gt 0 ] && leftovers_seen=$((leftovers_seen + 1))
done

# Last, everything to its end cleans up whatever the kills left.
complete_all 0
echo "kill test: $kills kills survived with 0 lines lost ($finished runs ended before their" \
  "kill; $((completions + 1)) rounds run to their end); $leftovers_seen times a kill left" \
  "temporary files, all cleaned up by the next runs"
