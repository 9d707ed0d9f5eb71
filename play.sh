#!/usr/bin/env bash
# play.sh -- installs what is missing, builds into build/ and starts the game.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build -j"$(nproc)"

# The game reads GameData/ and writes SaveData/ under its working directory: build/.
if [ -x build/flyingfish ]; then
  cd build
  exec ./flyingfish
fi
echo "play.sh: built; the game program (build/flyingfish) is not part of the build yet"
