#!/usr/bin/env bash
# Installs what is missing, builds Kestrune, prepares the demo station of the build tree (the
# demo session and one built hour, made with kestrune-cli), then starts the program on it.
# Without a display the program runs under Xvfb for a moment: a picture of its window is saved
# and the way to look at it is printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build-release"

station="$root/build-release/station"
cli="$root/build-release/src/cli/kestrune-cli"
program="$root/build-release/src/app/kestrune"
cd "$station"
"$cli" demo
session="$station/Sessions/demo_current_hit_radio_format_1hour.cwt"
# Tick "Save to Text" in the saved session (the first flag of its options line), so that the
# hour comes with its text log.
sed -i '/^####\r\?$/{n;s/^./1/}' "$session"
"$cli" build "$session" | tail -n 12
echo
echo "Station folder: $station"
echo "Demo session:   $session"
echo "Playlist:       $station/Playlists/demo_current_hit_radio_format_1hr.m3u"
echo "Text log:       $station/Playlists/demo_current_hit_radio_format_1hr.m3u.txt"
echo

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting Kestrune on the demo station. Load the demo session with Sessions > Load session."
  exec "$program"
fi

picture="$root/build-release/kestrune-window.png"
echo "No display here: Kestrune starts under Xvfb for ten seconds (the splash stays five)."
xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
  "$1" & pid=$!
  sleep 10
  import -window root "$2"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' _ "$program" "$picture"
echo "A picture of the window as it came up: $picture"
echo "To use it, run on a desktop:  cd '$station' && '$program'"
