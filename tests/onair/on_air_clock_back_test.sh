#!/usr/bin/env bash
# On air as the clock turns back, for real, with "hours" of one minute: Liquidsoap runs in a time
# zone of its own whose summer time, one minute ahead, ends a minute after the first list's
# minute begins, so the clock shows that minute twice. Its list plays twice, each time from its
# top and in order, each pass starting on its minute (within 3 s late, judged by the playout's
# own log), and the next minute's list follows. Every process it starts is ended by its id.
# Usage: on_air_clock_back_test.sh KESTRUNE_CLI SOURCE_DIR
set -euo pipefail
cli=$(realpath "$1")
source_dir=$(realpath "$2")
# A limit for a hang, not a speed bar: the three minutes and the wait for the first take about
# four.
deadline=$((SECONDS + 420))
source "$(dirname "$0")/on_air_common.sh"

# The minute shown twice starts at least 20 s from now (UTC instant `first`); the clock, one
# minute ahead of UTC until then, turns back at `first` + 60.
first=$(( ($(date +%s) + 20) / 60 * 60 + 60 ))
zone=$(python3 - "$first" <<'PY'
import sys, time
back = int(sys.argv[1]) + 60
# The summer time's reading when it ends, on that day of the year (Jn counts no 29 February).
t = time.gmtime(back + 60)
leap = t.tm_year % 4 == 0 and (t.tm_year % 100 != 0 or t.tm_year % 400 == 0)
day = t.tm_yday - (1 if leap and t.tm_mon > 2 else 0)
print(f"UTC0XDT-0:01,J1/0,J{day}/{t.tm_hour:02d}:{t.tm_min:02d}:00")
PY
)
turn_file() { echo "$work/onair_$(TZ=$zone date -d "@$1" +%H%M).m3u8"; }
repeated=$(turn_file "$first")
[ "$repeated" = "$(turn_file $((first + 60)))" ] || fail "the zone $zone does not repeat a minute"
after=$(turn_file $((first + 120)))
[ "$after" != "$repeated" ] || fail "the zone $zone repeats more than a minute"

start_icecast
TZ=$zone KESTRUNE_PLAYLIST="$work/onair_%H%M.m3u8" KESTRUNE_FILLER="$work/fillers.m3u" \
  KESTRUNE_AIRED="$work/aired.txt" KESTRUNE_FADE=2 KESTRUNE_LAST_START=3 start_liquidsoap

# Four songs of 9.8 s for the repeated minute, the rest of it bridged by fillers of 3 s.
make_songs "$work/Songs" 9.8 fit1 fit2 fit3 fit4 next1 next2
make_songs "$work/Songs" 3 filler1 filler2
printf '%s\r\n' "$work/Songs/filler1.mp3" "$work/Songs/filler2.mp3" >"$work/fillers.m3u"
list() {  # list FILE NAME...: an hour's playlist as the tool writes it
  local file=$1
  shift
  { printf '#EXTM3U\r\n'
    for name in "$@"; do
      printf '#EXTINF:10,Artist %s - Title %s\r\n%s\r\n' "${name^^}" "$name" "$work/Songs/$name.mp3"
    done; } >"$file"
}
list "$repeated" fit1 fit2 fit3 fit4
list "$after" next1 next2
start_listener
echo "$SECONDS s: Liquidsoap on the mount in $zone," \
  "the minute $(basename "$repeated") from $(date -u -d "@$first" +%T) UTC"

on_air_until "the list after the repeated minute did not go on air" \
  grep -qF "$after" "$work/aired.txt"
check_stream_goes_on

python3 - "$work/aired.txt" "$first" "$repeated" "$after" <<'PY' || fail "what aired"
import calendar, sys, time
aired_path, first, repeated, after = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
starts = []
for line in open(aired_path, encoding="utf-8"):
    cols = line.rstrip("\n").split("\t")
    if line.startswith("#") or cols[1] != "start":
        continue
    at = calendar.timegm(time.strptime(cols[0][:19], "%Y-%m-%dT%H:%M:%S")) + float(cols[0][19:-1])
    starts.append(dict(at=at, kind=cols[2], file=cols[3], playlist=cols[6]))
for s in starts:
    print(f"{s['at'] - first:8.3f} {s['kind']:6} {s['file']}")
items = [l for l in open(repeated, encoding="utf-8").read().splitlines() if l and l[0] != "#"]
SLACK = 3.0
for k in (0, 1):
    # Each pass: the list's items from its top, in order, the first on its minute, then fillers.
    begin, end = first + 60 * k - 0.5, first + 60 * (k + 1) - 0.5
    mine = [s for s in starts if begin <= s["at"] < end and s["kind"] == "plan"]
    assert [s["file"] for s in mine] == items, (k, mine)
    assert all(s["playlist"] == repeated for s in mine), mine
    off = mine[0]["at"] - (first + 60 * k)
    assert -0.5 <= off <= SLACK, f"pass {k} starts {off:.3f} s off its minute"
following = [s for s in starts if s["playlist"] == after]
off = following[0]["at"] - (first + 120)
assert -0.5 <= off <= SLACK, f"the next list starts {off:.3f} s off its minute"
print("on air as the clock turns back: the repeated minute's list twice, the next on time")
PY
