#!/usr/bin/env bash
# install-deps.sh [play|test] -- installs the Debian packages that building and playing need
# ("play"), or those and what the tests and benchmarks add ("test", the default).
# Only missing packages are installed; the package lists are refreshed only when one is missing.
set -euo pipefail

# Building and playing: the build tools, the libraries the game links, the sound font its MIDI
# plays with, and the MP3 encoder the content generator links (its Ogg encoder is libvorbis's).
PLAY_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libasound2-dev libx11-dev libmpg123-dev libvorbis-dev libsndfile1-dev
  libfluidsynth-dev timgm6mb-soundfont
  libmp3lame-dev
)
# What the tests and benchmarks add: their libraries, the sound tools that make the readers' test
# files, and the virtual X server, window manager and tools of the tests on a real window.
TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  lame vorbis-tools sox
  xvfb xauth xdotool imagemagick x11-utils openbox
)

case "${1:-test}" in
  play) PACKAGES=("${PLAY_PACKAGES[@]}") ;;
  test) PACKAGES=("${PLAY_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  *)
    echo "usage: install-deps.sh [play|test]" >&2
    exit 2
    ;;
esac

if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "install-deps.sh: dpkg-query not found; install these packages by hand: ${PACKAGES[*]}" >&2
  exit 1
fi

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps.sh: installing ${missing[*]}"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

# apt-get, waiting up to five minutes for another package manager run (common just after boot)
# to let go of its locks: apt waits for dpkg's lock itself; a run refused the package lists' or the
# download cache's lock is tried again every few seconds.
apt_get() {
  local deadline=$((SECONDS + 300)) errors
  errors=$(mktemp)
  until "${SUDO[@]}" env LC_ALL=C apt-get -o DPkg::Lock::Timeout=300 "$@" 2> "$errors"; do
    cat "$errors" >&2
    if ! grep -q "Could not get lock" "$errors" || [ "$SECONDS" -ge "$deadline" ]; then
      rm -f "$errors"
      return 1
    fi
    echo "install-deps.sh: another package manager run holds a lock; waiting" >&2
    sleep 5
  done
  cat "$errors" >&2
  rm -f "$errors"
}
apt_get update
apt_get install -y --no-install-recommends "${missing[@]}"
