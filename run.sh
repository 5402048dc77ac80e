#!/usr/bin/env bash
# Builds the game and its data set, then starts it. Extra arguments go to the game
# (for example: ./run.sh REC mydemo.dem).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vultar vultar_data
cd build/data
exec ../vultar "$@"
