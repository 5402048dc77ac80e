#!/usr/bin/env bash
# Drives the real game window on a virtual X server: waits for the title menu, moves the
# mouse over a sector button and takes a screenshot of the whole screen (it shows the
# game's pointer where the mouse is, and the button under it chosen), starts the episode
# with a click, flies a few seconds, then leaves with Escape, and quits with Alt+X and Y
# (and a key for the closing text screen).
#
# Usage: scripts/xvfb-game.sh [screenshot.png]     (default build/xvfb-game.png; a second
#        picture of the wave in flight goes next to it as *-flight.png)
# Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
shot=$(realpath -m "${1:-build/xvfb-game.png}")
flight="${shot%.png}-flight.png"
mkdir -p "$(dirname "$shot")"

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target vultar vultar_data >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Settings and pilots stay in the scratch folder; no setup screen before the game.
mkdir -p "$work/Vultar"
printf '\r\n[Setup]\r\nsetup_menu=0\r\nControl=1\r\n' >"$work/Vultar/setup.ini"

cat >"$work/inner.sh" <<'INNER'
set -euo pipefail
source scripts/xvfb-window.sh
work=$1 shot=$2 flight=$3
export XDG_DATA_HOME=$work
(cd build/data && SDL_VIDEODRIVER=x11 exec ../vultar) >"$work/log" 2>&1 &
game=$!
find_window
sleep 3 # the menu fades in
window_size

# Over the second sector button (x 80..239, y 112..127).
xdotool mousemove --window "$win" $(to_window 120 110)
sleep 0.3
xdotool mousemove --window "$win" $(to_window 150 119)
sleep 0.5
import -window root "$shot"

# Start it, fly a while with the mouse steering, leave, and quit.
xdotool click --window "$win" 1
sleep 6
xdotool mousemove --window "$win" $(to_window 100 120)
sleep 2
import -window root "$flight"
xdotool key --window "$win" Escape
sleep 1
xdotool key --window "$win" y
sleep 3
xdotool keydown --window "$win" alt x
sleep 0.5
xdotool keyup --window "$win" x alt
sleep 1
xdotool key --window "$win" y
# The closing text screen comes up in a window of its own and waits for a key.
sleep 4
for w in $(xdotool search --name "Vultar 0.8.2"); do
    xdotool key --window "$w" space 2>/dev/null || true
done
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$game" 2>/dev/null; then
    echo "the game did not quit" >&2
    kill "$game"
    exit 1
fi
echo "the game quit"
INNER

xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/inner.sh" "$work" "$shot" "$flight"
echo "screenshots: $shot $flight"
