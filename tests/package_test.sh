#!/usr/bin/env bash
# The Debian package, tried as a user would: it is made by scripts/package.sh (lintian included),
# installed with apt-get, then used by an unprivileged user with a fresh home folder: the
# program started the way its menu entry starts it, under Xvfb, until its main window shows;
# kestrune-cli demo and build in the station folder that start made; kestrune --version. Then
# the package is removed, and nothing of it may be left outside that home folder.
#
# usage: tests/package_test.sh BUILD_DIR
# Needs root and apt-get (it installs a package on this machine); without them it exits 77,
# which CTest reports as skipped.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# ---- The user's part: runs as the unprivileged user, inside Xvfb. ----
if [ "${1:-}" = "--as-user" ]; then
  version=$2
  deadline() { echo $(($(date +%s) + 120)); }
  # The first visible window whose title matches; fails when there is none yet.
  window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }

  # 1. The program as its menu entry starts it: Exec and Path of the installed desktop entry
  # (launchers start programs in the home folder when the entry names no Path).
  entry=/usr/share/applications/kestrune.desktop
  exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n 1 | sed 's/ *%[fFuUick]//g')
  path_line=$(sed -n 's/^Path=//p' "$entry" | head -n 1)
  echo "menu entry: Exec=$exec_line Path=${path_line:-(none: the home folder)}"
  (cd "${path_line:-$HOME}" && exec $exec_line) >"$HOME/../program.log" 2>&1 &
  program=$!
  until_time=$(deadline)
  until window "Kestrune v\\." >/dev/null; do
    if ! kill -0 "$program" 2>/dev/null; then
      echo "the program ended before its main window showed:"; cat "$HOME/../program.log"; exit 1
    fi
    [ "$(date +%s)" -lt "$until_time" ] || { echo "no main window within 120 s"; exit 1; }
    sleep 0.2
  done
  echo "main window: $(xdotool getwindowname "$(window "Kestrune v\\.")")"
  import -window root "$HOME/../menu-start.png" 2>/dev/null || true
  kill "$program"
  wait "$program" 2>/dev/null || true

  station=$HOME/Kestrune
  test "$(ls "$station/Demo_MP3's" | grep -c '\.mp3$')" -eq 70
  test -f "$station/Sessions/master_template.cfg"
  test -d "$station/Playlists"
  config=$HOME/.config/kestrune/kestrune.ini
  tr -d '\r' <"$config" | grep -qx "folder=$station" || { echo "the station folder is not remembered"; exit 1; }
  echo "first menu start made $station with the demo station; configuration in $config"

  # 2. The command-line tool in that station folder.
  cd "$station"
  kestrune-cli demo
  kestrune-cli build Sessions/demo_current_hit_radio_format_1hour.cwt >build.out
  tail -n 1 build.out
  tail -n 1 build.out | grep -q '^Playlist is complete and is exactly '
  hour=Playlists/demo_current_hit_radio_format_1hr.m3u
  test "$(grep -c "^$station/Demo_MP3's/.*\\.mp3" "$hour")" -gt 10
  ! grep -v "^$station/Demo_MP3's/" "$hour" || { echo "a line outside the station"; exit 1; }

  # 3. The version, without a window (started in a scratch folder, so that a program that
  # opens its window instead does no harm before it fails the test).
  mkdir -p "$HOME/scratch" && cd "$HOME/scratch"
  kestrune --version >version.out 2>&1 &
  asked=$!
  until_time=$(deadline)
  while kill -0 "$asked" 2>/dev/null; do
    if window "Kestrune" >/dev/null; then
      kill "$asked"; wait "$asked" 2>/dev/null || true
      echo "kestrune --version opened its window"; exit 1
    fi
    [ "$(date +%s)" -lt "$until_time" ] || { echo "kestrune --version did not end"; exit 1; }
    sleep 0.2
  done
  wait "$asked" || { echo "kestrune --version failed:"; cat version.out; exit 1; }
  cat version.out
  grep -q "$version" version.out
  exit 0
fi

# ---- The machine's part: runs as root. ----
build_dir=$(cd "$1" && pwd)
if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null || ! command -v dpkg >/dev/null; then
  echo "skipped: installing the package needs root and apt-get"
  exit 77
fi
if dpkg-query -W -f='${Status}' kestrune 2>/dev/null | grep -q "install ok installed"; then
  echo "skipped: a kestrune package is installed on this machine already; it is left alone"
  exit 77
fi
for tool in xvfb-run xdotool setpriv lintian rsvg-convert; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh"; exit 1; }
done

work=$(mktemp -d /tmp/kestrune-package.XXXXXX)
chmod 755 "$work"
installed=0
cleanup() {
  if [ "$installed" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q -o DPkg::Lock::Timeout=600 kestrune \
      >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# What carries the program's name outside home folders before: the same must be there after.
kestrune_paths() {
  find /usr /etc /opt /srv /var -xdev -iname '*kestrune*' 2>/dev/null | sort
}
kestrune_paths >"$work/before.txt"

bash "$here/../scripts/package.sh" "$build_dir" "$work/out" 2>"$work/lintian.txt" >"$work/deb.txt" ||
  { cat "$work/lintian.txt"; exit 1; }
grep -E '^(E|W): ' "$work/lintian.txt" || true
deb=$(tail -n 1 "$work/deb.txt")
name=$(basename "$deb")
version=$(dpkg-deb -f "$deb" Version | sed 's/-[^-]*$//')
echo "package: $name"

cd "$work/out"
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=600 "./$name" \
  >"$work/apt.txt" 2>&1 || { cat "$work/apt.txt"; exit 1; }
dpkg-deb -c "$deb" | awk '{print substr($0, index($0, "./") + 1)}' >"$work/files.txt"
for program in /usr/bin/kestrune /usr/bin/kestrune-cli; do test -x "$program"; done
man -l /usr/share/man/man1/kestrune-cli.1.gz >/dev/null
man -l /usr/share/man/man1/kestrune.1.gz >/dev/null

# A fresh home for the user "nobody", and a runtime folder as a desktop session gives one.
home=$work/user/home
mkdir -p "$home" "$work/user/runtime"
chown -R nobody "$work/user"
chmod 700 "$work/user/runtime"
status=0
(cd "$home" && setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups \
  env -i HOME="$home" USER=nobody PATH=/usr/bin:/bin LANG=C.UTF-8 \
  XDG_RUNTIME_DIR="$work/user/runtime" \
  xvfb-run -a -s '-screen 0 1280x1024x24' bash "$here/package_test.sh" --as-user "$version") ||
  status=$?
cp "$work/user/menu-start.png" "$build_dir/package-test-menu-start.png" 2>/dev/null || true
[ "$status" -eq 0 ] || { cat "$work/user/program.log" 2>/dev/null; exit "$status"; }

# Removed, nothing of the package is left outside the user's home.
DEBIAN_FRONTEND=noninteractive apt-get remove -y -q -o DPkg::Lock::Timeout=600 kestrune \
  >"$work/apt.txt" 2>&1 || { cat "$work/apt.txt"; exit 1; }
installed=0
if dpkg-query -W -f='${Status}' kestrune 2>/dev/null | grep -q "installed"; then
  echo "the package is still known to dpkg: $(dpkg-query -W -f='${Status}' kestrune)"; exit 1
fi
left=0
while read -r path; do
  [ -z "$path" ] || [ -d "$path" ] && continue
  if [ -e "$path" ]; then echo "left behind: $path"; left=1; fi
done <"$work/files.txt"
kestrune_paths >"$work/after.txt"
if ! diff "$work/before.txt" "$work/after.txt"; then
  echo "paths named after the program appeared outside the home folder"; left=1
fi
[ "$left" -eq 0 ] || exit 1
echo "the package installs, starts from its menu entry, builds the demo hour and goes away cleanly"
