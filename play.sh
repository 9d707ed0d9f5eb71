#!/usr/bin/env bash
# play.sh -- installs what is missing, builds the game into build/ and starts it. Only the game,
# its Ogg plug-in and its content are built (the target "play"); test.sh builds the rest.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build -j"$(nproc)" --target play

# The game reads GameData/ and writes SaveData/ under its working directory: build/.
cd build
exec ./flyingfish
