#!/usr/bin/env bash
# Records the attract demos again into data/demos/: the autopilot flies waves 1, 4 and 8 of
# the first three episodes through the game's own input path, the same bytes every run.
# Run it after changing the maps, the enemies or the autopilot, then commit data/demos/.
# The waves are flown on a data set with stand-in demos, so old or missing recordings do
# not matter.
# Usage: scripts/record-demos.sh [BUILDDIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target vultar_gen autopilot
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/tools/gen/vultar_gen" --data data --out "$tmp/data" --demo-stand-ins
"$build/tools/autopilot/autopilot" "$tmp/data" medium --attract "$tmp/demos" \
    --home "$tmp/home" --quiet >"$tmp/log" || { cat "$tmp/log"; exit 1; }
mkdir -p data/demos
cp "$tmp"/demos/*.dem data/demos/
ls -l data/demos/
