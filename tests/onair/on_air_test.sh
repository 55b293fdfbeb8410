#!/usr/bin/env bash
# On air, for real: Kestrune builds an extended M3U playlist from a small station of generated
# songs, Liquidsoap plays it (with the script of docs/on-air.md) into an Icecast mount on
# 127.0.0.1, a listener reads the mount, and Icecast must put the songs' tags on the mount (its
# log names every change) in the playlist's order; then the playlist is rebuilt while it plays
# and the new songs follow.
# Every process it starts is ended by its id. Usage: on_air_test.sh KESTRUNE_CLI SOURCE_DIR
set -euo pipefail
cli=$(realpath "$1")
source_dir=$(realpath "$2")
# A limit for a hang, not a speed bar: a quiet machine needs about 30 s.
deadline=$((SECONDS + 300))
source "$(dirname "$0")/on_air_common.sh"

start_icecast
# Liquidsoap starts (slow to start, so first) and waits for the playlist to appear.
KESTRUNE_PLAYLIST="$work/onair.m3u8" KESTRUNE_AIRED="$work/aired.txt" start_liquidsoap
# --- A station of generated songs: two categories of sixteen, 2 s each, distinct tags.
station="$work/station"
mkdir -p "$station/Playlists" "$station/Sessions"
for category in a b; do
  make_songs "$station/Songs" 2 $(seq -f "$category%g" 1 16)
  for n in $(seq 1 16); do printf '%s\r\n' "$station/Songs/$category$n.mp3"; done \
    >"$station/Playlists/$category.m3u"
done
for list in a b; do
  # One minute from one category; the output is the same file for both sessions.
  printf '%s\r\n' "$station/Playlists/$list.m3u" "#" "$station/Playlists/$list.m3u" "##" \
    "1" "###" "$work/onair.m3u8" "####" "000" >"$station/Sessions/$list.cwt"
done
(cd "$station" && "$cli" build Sessions/a.cwt --seed 7 >/dev/null) || fail "build of a.cwt"
grep -q '^#EXTINF:2,Artist A' "$work/onair.m3u8" || fail "no #EXTINF lines: $(cat "$work/onair.m3u8")"

echo "$SECONDS s: station built"
start_listener

# The titles logged after the first `start` ones, until `count` of the wanted ones came.
watch_titles() {
  local count=$1 from=$2 start=$3
  while :; do
    logged_titles | tail -n +$((start + 1)) >"$work/titles.$from"
    [ "$(grep -c "^Artist ${from^^}" "$work/titles.$from")" -lt "$count" ] || break
    [ $SECONDS -lt $deadline ] || fail "saw only: $(paste -sd '|' "$work/titles.$from")"
    sleep 0.2
  done
}

# The playlist's own order, as "ARTIST - TITLE" lines.
expected_order() { sed -n 's/^#EXTINF:[0-9]*,//p' "$work/onair.m3u8" | tr -d '\r'; }

# The titles seen of one category follow the playlist's order.
check_order() {
  python3 - "$work/titles.$1" "$1" <<PY || fail "order of category $1"
import sys
seen = [t for t in open(sys.argv[1]).read().splitlines() if t.startswith("Artist " + sys.argv[2].upper())]
order = """$(expected_order)""".splitlines()
print("seen:", seen)
print("playlist:", order)
# Each title seen is one of the next few of the playlist.
at = order.index(seen[0])
for k, title in enumerate(seen[1:], 1):
    ahead = [order[(at + step) % len(order)] for step in (1, 2, 3)]
    assert title in ahead, (k, title, ahead)
    at = (at + 1 + ahead.index(title)) % len(order)
if sys.argv[2] == "b":
    assert seen[0] == order[0], "a rebuilt list plays from its first song"
PY
}

echo "$SECONDS s: Liquidsoap on the mount"
watch_titles 5 a 0
check_order a
[ "$(stat -c %s "$work/listened.mp3")" -gt 0 ] || fail "the listener received nothing"

# --- Rebuilt while it plays: the new list's songs follow, the stream goes on.
before_b=$(logged_titles | wc -l)
(cd "$station" && "$cli" build Sessions/b.cwt --seed 11 >/dev/null) || fail "build of b.cwt"
watch_titles 5 b "$before_b"
check_order b
check_stream_goes_on
echo "on air: $(paste -sd '|' "$work/titles.a") then $(paste -sd '|' "$work/titles.b")"
