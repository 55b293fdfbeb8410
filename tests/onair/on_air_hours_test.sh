#!/usr/bin/env bash
# On air on the clock, for real, with "hours" of one minute (the playlist pattern names %H%M):
# Liquidsoap plays, with the script of docs/on-air.md, four minutes' lists into an Icecast mount
# on 127.0.0.1: one that runs long (its item under way at the minute fades out), one that ends
# early (fillers bridge to the minute, its top never plays again), one that fits its minute (a
# filler bridges the second left), and the next one; no list end leaves more than 0.5 s of
# silence. Every planned item that fits airs once, in order; each list starts on its
# minute (within 3 s late, so that a busy machine passes, judged by the playout's own log); the as-played log names exactly the titles Icecast's own log says aired.
# Every process it starts is ended by its id. Usage: on_air_hours_test.sh KESTRUNE_CLI SOURCE_DIR
set -euo pipefail
cli=$(realpath "$1")
source_dir=$(realpath "$2")
# A limit for a hang, not a speed bar: the four minutes and the wait for the first take about
# five.
deadline=$((SECONDS + 480))
source "$(dirname "$0")/on_air_common.sh"

start_icecast
KESTRUNE_PLAYLIST="$work/onair_%H%M.m3u8" KESTRUNE_FILLER="$work/station/Playlists/fillers.m3u" \
  KESTRUNE_AIRED="$work/aired.txt" KESTRUNE_FADE=2 KESTRUNE_LAST_START=3 start_liquidsoap

# --- A station: songs of 7 s in three categories, six of 9.8 s that fit a minute, fillers of 3 s.
station="$work/station"
mkdir -p "$station/Playlists" "$station/Sessions"
category() {  # category NAME SECONDS COUNT: the songs and their playlist
  make_songs "$station/Songs" "$2" $(seq -f "$1%g" 1 "$3")
  for n in $(seq 1 "$3"); do printf '%s\r\n' "$station/Songs/$1$n.mp3"; done \
    >"$station/Playlists/$1.m3u"
}
category long 7 16
category short 7 16
category next 7 8
category fit 9.8 6
category filler 3 4
mv "$station/Playlists/filler.m3u" "$station/Playlists/fillers.m3u"

start_listener
echo "$SECONDS s: Liquidsoap on the mount"

# The first minute starts at least 15 s from now, so its list is written before it.
first=$(( ($(date +%s) + 15) / 60 * 60 + 60 ))
turn_file() { echo "$work/onair_$(date -d "@$(( first + 60 * $1 ))" +%H%M).m3u8"; }
build() {  # build CATEGORY MINUTES TURN: a session of one category, built by the tool
  printf '%s\r\n' "$station/Playlists/$1.m3u" "#" "$station/Playlists/$1.m3u" "##" \
    "$2" "###" "$(turn_file "$3")" "####" "000" >"$station/Sessions/$1.cwt"
  (cd "$station" && "$cli" build "Sessions/$1.cwt" --seed 5 >/dev/null) || fail "build of $1"
}
build long 2 0    # about 96 s for a minute: runs long
build short 1 1   # about 35 s: ends early
{ printf '#EXTM3U\r\n'; for n in 1 2 3 4 5 6; do
    printf '#EXTINF:10,Artist FIT%s - Title fit%s\r\n%s\r\n' $n $n "$station/Songs/fit$n.mp3"
  done; } >"$(turn_file 2)"
build next 1 3
echo "$SECONDS s: four lists written, the first for $(date -d "@$first" +%T)"

# Wait until the fourth list's first item is on air, in the as-played log and in Icecast's.
fourth_first=$(sed -n 's/^#EXTINF:[0-9]*,//p' "$(turn_file 3)" | head -n 1 | tr -d '\r')
fourth_on_air() {
  grep -qF "$(turn_file 3)" "$work/aired.txt" 2>/dev/null && logged_titles | grep -qxF "$fourth_first"
}
on_air_until "the fourth list did not go on air" fourth_on_air
check_stream_goes_on

python3 - "$work/aired.txt" "$work/logs/error.log" "$first" $(for k in 0 1 2 3; do turn_file $k; done) <<'PY' ||
import calendar, re, sys, time
aired_path, icecast_log, first = sys.argv[1], sys.argv[2], int(sys.argv[3])
turns = sys.argv[4:]
starts, ends = [], []
for line in open(aired_path, encoding="utf-8"):
    if line.startswith("#"):
        continue
    assert line.endswith("\n"), "a whole line: " + repr(line)
    cols = line.rstrip("\n").split("\t")
    at = calendar.timegm(time.strptime(cols[0][:19], "%Y-%m-%dT%H:%M:%S")) + float(cols[0][19:-1])
    assert cols[0].endswith("Z")
    if cols[1] == "start":
        assert len(cols) == 7, cols
        starts.append(dict(at=at, kind=cols[2], file=cols[3], title=f"{cols[4]} - {cols[5]}",
                           playlist=cols[6]))
    else:
        assert cols[1] == "end" and len(cols) == 5 and cols[3] in ("ended", "faded", "cut"), cols
        ends.append(dict(at=at, seconds=float(cols[2]), how=cols[3], file=cols[4]))

def planned(path):
    return [l for l in open(path, encoding="utf-8").read().splitlines() if l and l[0] != "#"]

def minute(k):
    return first + 60 * k

for s in starts:
    print(f"{s['at'] - first:8.3f} {s['kind']:6} {s['title']}")
# Every start but the last has its end, in order, with the time it aired.
assert len(ends) == len(starts) - 1, (len(starts), len(ends))
for s, e in zip(starts, ends):
    assert e["file"] == s["file"], (s, e)
    assert abs(e["at"] - s["at"] - e["seconds"]) < 0.01, (s, e)

plays = [s["file"] for s in starts if s["kind"] == "plan"]
assert len(plays) == len(set(plays)), "a planned item aired twice"
# Judged against what the playout logged, with limits that hold on a busy machine: a list may
# start up to SLACK seconds after its minute (never half a second before it), and what aired
# between one list's first item and the next list's first is that list's part of the air.
SLACK = 3.0
firsts = []
for k, turn in enumerate(turns):
    mine = [s for s in starts if s["playlist"] == turn]
    items = planned(turn)
    # Its items in its order from its first, none twice.
    assert mine and [s["file"] for s in mine] == items[:len(mine)], (turn, items, mine)
    off = mine[0]["at"] - minute(k)
    assert -0.5 <= off <= SLACK, f"list {k} starts {off:.3f} s off its minute"
    firsts.append(starts.index(mine[0]))
for k, turn in enumerate(turns[:3]):
    mine = [s for s in starts if s["playlist"] == turn]
    items = planned(turn)
    between = starts[firsts[k]:firsts[k + 1]]
    last = ends[starts.index(mine[-1])]
    if k == 0:
        # Long: the item under way at the minute fades out, ending as the next list starts; the
        # rest never airs.
        assert len(mine) < len(items) and last["how"] == "faded", last
        assert between == mine, between
        assert abs(last["at"] - starts[firsts[1]]["at"]) <= 1.0, (last, starts[firsts[1]])
    elif k == 1:
        # Short: every item, then fillers up to the next list.
        assert len(mine) == len(items)
        after = between[len(mine):]
        assert between[:len(mine)] == mine and after, between
        assert all(s["kind"] == "filler" for s in after), after
    else:
        # Fits: every item, each played to its end; what is left of the minute, however short,
        # is bridged by fillers.
        assert len(mine) == len(items) and between[:len(mine)] == mine, between
        assert all(s["kind"] == "filler" for s in between[len(mine):]), between
        assert all(ends[starts.index(s)]["how"] == "ended" for s in mine)
# No dead air from the first list on: each item starts as the one before it ends (the as-played
# log times both by the stream's own clock).
for i in range(firsts[0], len(starts) - 1):
    gap = starts[i + 1]["at"] - ends[i]["at"]
    assert gap <= 0.5, f"{gap:.3f} s of silence after {starts[i]['title']}"

# Icecast's own log names the same titles in the same order, each list's first at its minute.
logged = []
for line in open(icecast_log, encoding="utf-8", errors="replace"):
    m = re.match(r'\[(\S+)\s+(\S+)\].*Metadata on mountpoint /kestrune\.mp3 changed to "(.*)"$', line)
    if m:
        logged.append((time.mktime(time.strptime(m[1] + " " + m[2], "%Y-%m-%d %H:%M:%S")), m[3]))
titles = [s["title"] for s in starts]
assert [t for _, t in logged] == titles, ([t for _, t in logged], titles)
for k, turn in enumerate(turns):
    at = logged[[s["playlist"] for s in starts].index(turn)][0]
    # Icecast writes whole seconds.
    assert minute(k) - 1 <= at <= minute(k) + SLACK + 1, f"Icecast logged list {k} at {at - minute(k)} s"
print("on air on the clock:", len(starts), "items,", len(plays), "planned")
PY
  fail "what aired"
