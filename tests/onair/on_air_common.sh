# Shared by the on-air tests (sourced, not run): a scratch folder, an Icecast of its own on
# 127.0.0.1, the Liquidsoap script of docs/on-air.md, generated songs. Every process started here
# is ended by its id when the test ends.
# Expects: cli, source_dir and deadline set by the test.
script="$source_dir/resources/on-air/kestrune-on-air.liq"

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
  for log in "$work"/logs/*.log "$work"/liquidsoap.out "$work"/aired.txt; do
    [ -f "$log" ] && { echo "== $log"; tail -n 80 "$log"; }
  done
  exit 1
}

# on_air_until WHAT COMMAND...: polls COMMAND until it succeeds; fails naming WHAT when the
# test's deadline passes first or Liquidsoap ends. What aired is judged, never how long it took.
on_air_until() {
  local what=$1
  shift
  until "$@" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "$what"
    kill -0 "$liquidsoap_pid" 2>/dev/null || fail "Liquidsoap ended"
    sleep 0.5
  done
}

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
port=$(free_port)
password=source-$RANDOM$RANDOM
status="http://127.0.0.1:$port/status-json.xsl"

# Icecast, with a configuration of its own; as root it drops to an unprivileged user.
start_icecast() {
  mkdir -p "$work/logs"
  local owner=""
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
  # Debian's Icecast 2.4.4 has been seen to crash now and then in its first second (a
  # segmentation fault right after its threads start): such a start is tried again, twice at
  # most, and said; a crash once it answers fails the test.
  local attempt
  for attempt in 1 2 3; do
    icecast2 -c "$work/icecast.xml" >"$work/icecast.out" 2>&1 &
    icecast_pid=$!
    pids+=($icecast_pid)
    until curl -sf "$status" >/dev/null; do
      [ $SECONDS -lt $deadline ] || fail "Icecast did not answer on port $port"
      kill -0 "$icecast_pid" 2>/dev/null || break
      sleep 0.2
    done
    kill -0 "$icecast_pid" 2>/dev/null && return 0
    cat "$work/icecast.out"
    echo "Icecast ended while starting (attempt $attempt of 3)"
  done
  fail "Icecast ended"
}

# Liquidsoap with the script; KESTRUNE_* settings come from the caller's environment.
start_liquidsoap() {
  KESTRUNE_ALLOW_ROOT=1 ICECAST_PORT=$port ICECAST_SOURCE_PASSWORD=$password \
    ICECAST_MOUNT=kestrune.mp3 liquidsoap "$script" >"$work/liquidsoap.out" 2>&1 &
  liquidsoap_pid=$!
  pids+=($liquidsoap_pid)
}

# Waits for Liquidsoap's mount, then a listener reads it into $work/listened.mp3.
start_listener() {
  until curl -sf "$status" | grep -q '"listenurl"'; do
    [ $SECONDS -lt $deadline ] || fail "no mount on Icecast"
    kill -0 "$liquidsoap_pid" 2>/dev/null || fail "Liquidsoap ended"
    sleep 0.2
  done
  curl -sf "http://127.0.0.1:$port/kestrune.mp3" -o "$work/listened.mp3" &
  listener_pid=$!
  pids+=($listener_pid)
}

# The listener is still connected and its stream still grows.
check_stream_goes_on() {
  kill -0 "$listener_pid" 2>/dev/null || fail "the listener's stream ended"
  local before
  before=$(stat -c %s "$work/listened.mp3")
  until [ "$(stat -c %s "$work/listened.mp3")" -gt "$before" ]; do
    [ $SECONDS -lt $deadline ] || fail "the stream stopped"
    sleep 0.2
  done
}

# make_songs FOLDER SECONDS NAME...: one silent song of SECONDS (a decimal number) per NAME,
# FOLDER/NAME.mp3, with the ID3v1 tag "Artist NAME" / "Title NAME", NAME in capitals in the artist.
make_songs() {
  local folder=$1 seconds=$2
  shift 2
  mkdir -p "$folder"
  [ -f "$work/silence-$seconds.mp3" ] ||
    head -c "$(python3 -c "print(round($seconds * 22050) * 2)")" /dev/zero |
      lame --quiet -r -s 22.05 -m m --bitwidth 16 --signed --little-endian -b 32 - \
        "$work/silence-$seconds.mp3" 2>/dev/null
  python3 - "$work/silence-$seconds.mp3" "$folder" "$@" <<'PY'
import sys
audio = open(sys.argv[1], "rb").read()
for name in sys.argv[3:]:
    field = lambda text, size: text.encode().ljust(size, b"\0")
    tag = (b"TAG" + field(f"Title {name}", 30) + field(f"Artist {name.upper()}", 30)
           + field("On Air", 30) + b"2026" + field("", 30) + bytes([255]))
    open(f"{sys.argv[2]}/{name}.mp3", "wb").write(audio + tag)
PY
}

# Every title Icecast put on the mount, in order, from its own log: no change is missed however
# slow the machine is.
logged_titles() {
  sed -n 's/.*Metadata on mountpoint \/kestrune\.mp3 changed to "\(.*\)"$/\1/p' \
    "$work/logs/error.log" 2>/dev/null || true
}
