#!/usr/bin/env bash
# Installs every Debian package Kestrune needs to build, test and run. Idempotent; quiet when
# everything is already there. Runs as root, or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libtag1-dev python3  # TagLib reads tags and formats; python3 prints the bench table
  lame ffmpeg python3-mutagen  # encoders and a tagger make the test library; ffprobe times it
  liquidsoap icecast2 curl  # the on-air test: a real playout into a real stream server
  clang libclang-rt-14-dev
  tzdata  # the local-time tests read Europe/Berlin and America/New_York
  qt6-base-dev qt6-svg-dev qt6-multimedia-dev libgl-dev
  xvfb xauth imagemagick
  lintian librsvg2-bin xdotool man-db  # the Debian package: its check, icons, window, manuals
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q >/dev/null
"${sudo_cmd[@]}" apt-get install -y -q -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}" >/dev/null
