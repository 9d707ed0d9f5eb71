#!/usr/bin/env bash
# play.sh -- installs what building and playing need when it is missing, builds the game into
# build/ and starts it. Only the game, its Ogg plug-in and its content are built (the target
# "play"); tests and benchmarks are configured off, so their packages need not be there: test.sh
# installs them and switches both on again.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh play
cmake -S . -B build -G Ninja -DFLYINGFISH_TESTS=OFF -DFLYINGFISH_BENCH=OFF
cmake --build build -j"$(nproc)" --target play

# The game reads GameData/ and writes SaveData/ under its working directory: build/.
cd build
exec ./flyingfish
