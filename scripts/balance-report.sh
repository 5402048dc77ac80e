#!/usr/bin/env bash
# The autopilot's balance report: the whole campaign flown at training, easy, medium and
# hard on the generated data set, each written to docs/balance/DIFFICULTY.md and .png, and
# docs/balance.md gathering them, with every wave's progress line in docs/balance/DIFFICULTY.log.
# The four campaigns run side by side (each a few minutes of one core).
# Usage: scripts/balance-report.sh [WAVES]   (default: every wave of the four episodes)
set -euo pipefail
cd "$(dirname "$0")/.."
waves="${1:-0}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target autopilot vultar_data
mkdir -p docs/balance
out=docs/balance.md
{
    echo "# Balance report"
    echo
    echo "The autopilot flies a new pilot through the whole campaign at each difficulty, through"
    echo "the game's own screens: it shops in the store before every wave (the shield first, then"
    echo "the main guns and special weapons up the store's list by price, one mega bomb in reserve),"
    echo "saves the pilot after every wave and leaves and loads it at every episode's end. A pilot"
    echo "made at hard flies episode 4 at medium, as every new pilot does. A lost wave is recorded and"
    echo "the pilot, as last saved, moves on to the next. Regenerate with"
    echo "\`scripts/balance-report.sh\`."
    echo
} > "$out"
# The four campaigns fly side by side, each with its pilot in a folder of its own.
homes=()
for diff in training easy medium hard; do
    home=$(mktemp -d)
    homes+=("$home")
    build/tools/autopilot/autopilot build/data "$diff" "$waves" --home "$home" \
        --report "docs/balance/$diff" > "docs/balance/$diff.log" &
done
wait
rm -rf "${homes[@]}"
for diff in training easy medium hard; do
    tail -n 1 "docs/balance/$diff.log"
    # The table's images are beside it; seen from docs/ they are in balance/.
    sed -e 's|^!\[\(.*\)\](\(.*\))$|![\1](balance/\2)|' "docs/balance/$diff.md" >> "$out"
    echo >> "$out"
done
echo "wrote $out"
