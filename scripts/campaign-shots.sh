#!/usr/bin/env bash
# Screenshots of every screen of a campaign, taken from the real game window on a virtual
# X server, the way a new player meets them: a fresh data folder without setup.ini (so the
# first run's defaults and the start screen), the game built here, keys typed by xdotool
# and each screen saved with the game's own screenshot key (F12).
#
# The first run is a plain new player: start screen, main menu, new pilot, difficulty,
# hangar, the store greeting and a purchase, the help pages, the ship's computer, the
# loading screen, a wave in flight, the abort question, saving the pilot. The second run
# is started with the developers' switch (QX_MODE) so that a wave can be ended at once
# and the last wave chosen directly: it loads the saved pilot, lands after a wave, and
# flies the ninth wave to the end of the episode and its victory picture.
#
# Usage: scripts/campaign-shots.sh [OUTDIR]      (default build/campaign-shots)
# Needs xvfb-run, xdotool (for the keys) and the game's build in build/.
set -euo pipefail
out=${1:+$(realpath -m "$1")}
cd "$(dirname "$0")/.."
root=$(pwd)
out=${out:-$root/build/campaign-shots}

if [ "${VULTAR_SHOTS_INNER:-}" != 1 ]; then
    cmake -S . -B build -G Ninja >/dev/null
    cmake --build build --target vultar vultar_data >/dev/null
    exec xvfb-run -a -s "-screen 0 1024x768x24" env VULTAR_SHOTS_INNER=1 "$0" "$out"
fi

mkdir -p "$out"
rm -f "$out"/*.png
work=$(mktemp -d)
game=
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME="$work"
shots="$work/Vultar/screenshots"

# The game's window (the start screen's text window has the same title: the newest one).
find_window() {
    win=$(xdotool search --sync --onlyvisible --name "Vultar 0.8.2" | tail -n 1)
    xdotool windowfocus --sync "$win" 2>/dev/null || true
}

key() { # keys..., each held for a few frames as a hand would (a tap shorter than a
    # frame is not seen by screens that look at which keys are down), a little apart
    for k in "$@"; do
        xdotool keydown "$k"
        sleep 0.15
        xdotool keyup "$k"
        sleep 0.25
    done
}

count() { find "$shots" -name '*.png' 2>/dev/null | wc -l || true; }

# F12, then the newest screenshot file renamed to NAME.png in the output folder.
shot() { # name
    local before after
    before=$(count)
    xdotool key F12
    for _ in $(seq 40); do
        after=$(count)
        [ "$after" -gt "$before" ] && break
        sleep 0.1
    done
    local f
    f=$(ls -t "$shots"/*.png 2>/dev/null | head -n 1 || true)
    if [ -n "$f" ] && [ "$after" -gt "$before" ]; then
        mv "$f" "$out/$1.png"
        echo "wrote $out/$1.png"
    else
        echo "no screenshot for $1" >&2
    fi
}

start_game() {
    (cd "$root/build/data" && SDL_VIDEODRIVER=x11 exec "$@" ../vultar) >>"$work/log" 2>&1 &
    game=$!
}

wait_gone() {
    for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || return 0; sleep 0.2; done
    echo "the game did not quit" >&2
    kill "$game" 2>/dev/null || true
    return 1
}

quit_game() {
    xdotool keydown alt keydown x
    sleep 0.4
    xdotool keyup x keyup alt
    sleep 1
    key y
    sleep 4
    # The closing text screen waits for a key.
    for w in $(xdotool search --name "Vultar 0.8.2" 2>/dev/null); do
        xdotool windowfocus "$w" 2>/dev/null || true
        xdotool key space 2>/dev/null || true
    done
    # On a busy machine a key can come too early; the pilot is saved by then, so a game
    # that did not quit is ended here and the run goes on.
    wait_gone || true
}

# ---- first run: a new player -------------------------------------------------------------
start_game env
find_window
sleep 2
import -window root "$out/00-start-screen-window.png"
key Return # run the game
sleep 4
find_window
# The credits and the opening scenes: any key passes each (the menu ignores Escape).
for _ in $(seq 12); do
    key Escape
    sleep 1.5
done
sleep 3
shot 01-main-menu
import -window root "$out/01-main-menu-window.png"
key Return # new pilot
sleep 5
xdotool type --delay 150 "JANE ROOK"
sleep 0.5
key Return
sleep 0.5
xdotool type --delay 150 "ROOK"
sleep 0.5
shot 02-new-pilot
key Return
sleep 2
shot 03-difficulty
key Return # medium
sleep 4
shot 04-hangar
key F1
sleep 2
shot 05-help-hangar
for n in 1 2 3 4 5 6 7 8; do
    key Right
    sleep 1
    shot "05-help-page-$n"
done
key Escape
sleep 2
key Return # the supply room
sleep 2.5
shot 06-store-greeting
sleep 9 # the keeper's greeting runs out
key Right
sleep 1
shot 07-store-item
key Return # buy it
sleep 1.5
shot 08-store-bought
key Escape
sleep 4
key Return # fly mission
sleep 4
shot 09-computer
xdotool keydown Return # launch
# The loading screen is up for a moment only: shots one after another until the wave.
for n in 1 2 3 4 5 6 7 8 9; do
    shot "10-loading-$n"
    [ "$n" = 1 ] && xdotool keyup Return
done
sleep 5
xdotool keydown Up
sleep 1.5
xdotool keyup Up
xdotool keydown Control_L
sleep 1
shot 11-wave
xdotool keyup Control_L
sleep 3
shot 12-wave-later
key Escape
sleep 1.5
shot 13-abort-question
key y
sleep 6
shot 14-hangar-after-abort
key s
sleep 1.5
shot 15-save-question
key y
sleep 2
quit_game

# ---- second run: the quick route to a landing and the victory ------------------------------
start_game env QX_MODE=GANTRY
find_window
sleep 2
key Return # the start screen again: run the game
sleep 4
find_window
for _ in $(seq 10); do
    key Escape
    sleep 1.5
done
sleep 3
key Down Return # load pilot
sleep 2.5
shot 16-load-pilot
key Return
sleep 4
# A hangar entered from the main menu has the supply room chosen, as on a first visit;
# Down moves the choice to fly mission.
key Down
sleep 1
shot 16-hangar-after-load
key Return # fly mission
sleep 4
key Return # launch wave 1
sleep 8
key Escape # with the switch on, Escape ends the wave as won ...
sleep 1.5
key n      # ... once the abort is declined
sleep 3
# The landing scene is short: shots close together, and no key, which would end it (and one
# too many would leave the hangar).
for n in 1 2 3 4 5 6 7 8; do
    shot "17-landing-$n"
    sleep 0.5
done
sleep 4
shot 18-hangar-after-landing
key Return # fly mission
sleep 4
shot 19-computer-wave2
xdotool keydown o # the ninth wave
for n in 1 2 3 4 5 6 7 8; do
    shot "20-loading-final-wave-$n"
    [ "$n" = 1 ] && xdotool keyup o
done
sleep 8
key Escape
sleep 1.5
key n
sleep 3
# The ending, the base, the landing and the victory picture, all left to run their course.
for n in $(seq -w 1 24); do
    shot "21-episode-end-$n"
    sleep 1.5
done
quit_game
echo "screenshots in $out"
