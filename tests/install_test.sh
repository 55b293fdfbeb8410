#!/usr/bin/env bash
# Installs the program folder into a temporary prefix, moves it elsewhere, and builds the demo
# hour there with the command-line tool, as a station would after copying the folder.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build_dir" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/Kestrune Station"
cd "$work/Kestrune Station"
test -x ./kestrune-cli
test "$(ls "Demo_MP3's" | wc -l)" -eq 70
test -f Sessions/master_template.cfg
./kestrune-cli demo >/dev/null
./kestrune-cli build Sessions/demo_current_hit_radio_format_1hour.cwt > build.out
tail -n 1 build.out | grep -q '^Playlist is complete and is exactly '
# Every line of the hour names a demo file inside the moved folder.
grep -v "^$PWD/Demo_MP3's/" Playlists/demo_current_hit_radio_format_1hr.m3u && exit 1
test "$(wc -l < Playlists/demo_current_hit_radio_format_1hr.m3u)" -gt 10
# The program starts from the folder and stays up (it runs until it is closed).
if [ -x ./kestrune ]; then
  status=0
  QT_QPA_PLATFORM=offscreen timeout 3 ./kestrune >/dev/null 2>&1 || status=$?
  test "$status" -eq 124
fi
echo "installed folder builds the demo hour"
