#!/usr/bin/env bash
# Installs what is missing, builds Kestrune, and on the demo station of the build tree makes
# the demo session and builds one hour with kestrune-cli.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build-release"

station="$root/build-release/station"
cli="$root/build-release/src/cli/kestrune-cli"
cd "$station"
"$cli" demo
session="$station/Sessions/demo_current_hit_radio_format_1hour.cwt"
# Tick "Save to Text" in the saved session (the first flag of its options line), so that the
# hour comes with its text log.
sed -i '/^####\r\?$/{n;s/^./1/}' "$session"
"$cli" build "$session" | tail -n 12
echo
echo "Station folder: $station"
echo "Playlist:       $station/Playlists/demo_current_hit_radio_format_1hr.m3u"
echo "Text log:       $station/Playlists/demo_current_hit_radio_format_1hr.m3u.txt"
