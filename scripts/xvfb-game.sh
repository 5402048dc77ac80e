#!/usr/bin/env bash
# Drives the real game window on a virtual X server as a player meets it: the opening
# credits and scene skipped with a key, then the main menu with the mouse over its first
# button and a screenshot of the whole screen (it shows the game's pointer where the mouse
# is); then D for the recorded missions and a second
# screenshot of a wave in flight, Escape back to the menu, and quitting with Alt+X and Y
# (and a key for the closing text screen). Fails when the game does not quit.
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
(cd build/data && SDL_VIDEODRIVER=x11 VULTAR_STARTUP_TIMES=1 exec ../vultar) >"$work/log" 2>&1 &
game=$!
find_window
window_size
# The credits and the opening scene end on a key (Shift, which the menu ignores); the game
# says when the main menu is up.
for _ in $(seq 80); do
    grep -q "^Start-up:" "$work/log" && break
    xdotool key --window "$win" shift
    sleep 0.3
done
grep -m1 "^Start-up:" "$work/log" || { echo "the main menu did not come" >&2; kill "$game"; exit 1; }
sleep 3 # the menu fading in

# Over the first button of the main menu.
xdotool mousemove --window "$win" $(to_window 120 60)
sleep 0.3
xdotool mousemove --window "$win" $(to_window 160 72)
sleep 0.5
import -window root "$shot"

# The recorded missions, a while of one, and back to the menu.
xdotool key --window "$win" d
sleep 6
import -window root "$flight"
xdotool key --window "$win" Escape
sleep 4
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
