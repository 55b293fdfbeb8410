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
script="$source_dir/resources/on-air/kestrune-on-air.liq"
# A limit for a hang, not a speed bar: a quiet machine needs about 30 s.
deadline=$((SECONDS + 300))

for tool in icecast2 liquidsoap lame curl python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/setup.sh"; exit 1; }
done

# The documentation shows the very script that runs here.
python3 - "$script" "$source_dir/docs/on-air.md" <<'PY'
import sys
script = open(sys.argv[1]).read()
doc = open(sys.argv[2]).read()
if script.strip() not in doc:
    sys.exit("docs/on-air.md does not show resources/on-air/kestrune-on-air.liq as it is")
PY

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

fail() {
  echo "FAILED: $*"
  for log in "$work"/logs/*.log "$work"/liquidsoap.out; do
    [ -f "$log" ] && { echo "== $log"; tail -n 30 "$log"; }
  done
  exit 1
}

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
port=$(free_port)
password=source-$RANDOM$RANDOM

# --- Icecast, with a configuration of its own; as root it drops to an unprivileged user.
mkdir -p "$work/logs"
owner=""
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$work/logs"
  owner="<changeowner><user>nobody</user><group>$(id -gn nobody)</group></changeowner>"
fi
cat >"$work/icecast.xml" <<XML
<icecast>
  <location>127.0.0.1</location>
  <admin>nobody@localhost</admin>
  <limits><clients>10</clients><sources>2</sources><source-timeout>10</source-timeout></limits>
  <authentication>
    <source-password>$password</source-password>
    <admin-user>admin</admin-user><admin-password>admin-$password</admin-password>
  </authentication>
  <hostname>127.0.0.1</hostname>
  <listen-socket><port>$port</port><bind-address>127.0.0.1</bind-address></listen-socket>
  <fileserve>1</fileserve>
  <paths>
    <logdir>$work/logs</logdir>
    <webroot>/usr/share/icecast2/web</webroot>
    <adminroot>/usr/share/icecast2/admin</adminroot>
  </paths>
  <logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog><loglevel>3</loglevel></logging>
  <security><chroot>0</chroot>$owner</security>
</icecast>
XML
icecast2 -c "$work/icecast.xml" >"$work/icecast.out" 2>&1 &
pids+=($!)
status="http://127.0.0.1:$port/status-json.xsl"
until curl -sf "$status" >/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "Icecast did not answer on port $port"
  kill -0 "${pids[0]}" 2>/dev/null || { cat "$work/icecast.out"; fail "Icecast ended"; }
  sleep 0.2
done

# --- Liquidsoap starts (slow to start, so first) and waits for the playlist to appear.
KESTRUNE_PLAYLIST="$work/onair.m3u8" KESTRUNE_ALLOW_ROOT=1 ICECAST_PORT=$port \
  ICECAST_SOURCE_PASSWORD=$password ICECAST_MOUNT=kestrune.mp3 \
  liquidsoap "$script" >"$work/liquidsoap.out" 2>&1 &
pids+=($!)
# --- A station of generated songs: two categories of sixteen, 2 s each, distinct tags.
station="$work/station"
mkdir -p "$station/Playlists" "$station/Sessions" "$station/Songs"
# One encoding of 2 s of silence by lame; each song is a copy with its own ID3v1 tag.
head -c $((22050 * 2 * 2)) /dev/zero |
  lame --quiet -r -s 22.05 -m m --bitwidth 16 --signed --little-endian -b 32 - \
    "$work/silence.mp3" 2>/dev/null
python3 - "$work/silence.mp3" "$station" <<'PY'
import sys
audio = open(sys.argv[1], "rb").read()
for category in "ab":
    with open(f"{sys.argv[2]}/Playlists/{category}.m3u", "w", newline="") as playlist:
        for n in range(1, 17):
            song = f"{sys.argv[2]}/Songs/{category}{n}.mp3"
            field = lambda text, size: text.encode().ljust(size, b"\0")
            tag = (b"TAG" + field(f"Title {category}{n}", 30) + field(f"Artist {category.upper()}{n}", 30)
                   + field("On Air", 30) + b"2026" + field("", 30) + bytes([255]))
            open(song, "wb").write(audio + tag)
            playlist.write(song + "\r\n")
PY
for list in a b; do
  # One minute from one category; the output is the same file for both sessions.
  printf '%s\r\n' "$station/Playlists/$list.m3u" "#" "$station/Playlists/$list.m3u" "##" \
    "1" "###" "$work/onair.m3u8" "####" "000" >"$station/Sessions/$list.cwt"
done
(cd "$station" && "$cli" build Sessions/a.cwt --seed 7 >/dev/null) || fail "build of a.cwt"
grep -q '^#EXTINF:2,Artist A' "$work/onair.m3u8" || fail "no #EXTINF lines: $(cat "$work/onair.m3u8")"

echo "$SECONDS s: station built"
# --- A listener reads the mount once Liquidsoap feeds it.
until curl -sf "$status" | grep -q '"listenurl"'; do
  [ $SECONDS -lt $deadline ] || fail "no mount on Icecast"
  kill -0 "${pids[1]}" 2>/dev/null || fail "Liquidsoap ended"
  sleep 0.2
done
curl -sf "http://127.0.0.1:$port/kestrune.mp3" -o "$work/listened.mp3" &
pids+=($!)

# Every title Icecast put on the mount, in order, from its own log: no change is missed however
# slow the machine is.
logged_titles() {
  sed -n 's/.*Metadata on mountpoint \/kestrune\.mp3 changed to "\(.*\)"$/\1/p' \
    "$work/logs/error.log" 2>/dev/null || true
}

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
# Each title seen is one of the next few of the playlist, and
# the list goes round to its top when it ends.
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
kill -0 "${pids[2]}" 2>/dev/null || fail "the listener's stream ended"
before=$(stat -c %s "$work/listened.mp3")
until [ "$(stat -c %s "$work/listened.mp3")" -gt "$before" ]; do
  [ $SECONDS -lt $deadline ] || fail "the stream stopped"
  sleep 0.2
done
echo "on air: $(paste -sd '|' "$work/titles.a") then $(paste -sd '|' "$work/titles.b")"
