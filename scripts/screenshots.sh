#!/usr/bin/env bash
# Screenshots of the text-mode screens, taken from the real windows under a virtual X
# server: the start screen, the setup's main menu, its additional-features window and the
# closing screen. Needs xvfb, xauth, xdotool and imagemagick.
#
#   scripts/screenshots.sh [OUTDIR] [CLOSING_SCREEN.BIN]
#
# OUTDIR defaults to build/shots. The closing screen is a 4000-byte text screen file;
# without one, the game's own (item 2 of build/data/FILE0000.GLB) is shown when the data
# set has been built.
set -euo pipefail
# Paths given are taken from where the script was started.
out=${1:+$(realpath -m "$1")}
closing=${2:+$(realpath -m "$2")}
cd "$(dirname "$0")/.."
root=$(pwd)
out=${out:-$root/build/shots}

if [ "${VULTAR_SHOTS_INNER:-}" != 1 ]; then
    cmake -S . -B build -G Ninja >/dev/null
    cmake --build build --target vultar lastscr glbtool
    exec xvfb-run -a -s "-screen 0 1920x1080x24" env VULTAR_SHOTS_INNER=1 "$0" "$out" "$closing"
fi

mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A private data folder with an existing preference file, so the setup opens on its main
# menu rather than walking through the first-run menus.
export XDG_DATA_HOME="$work/home"
mkdir -p "$XDG_DATA_HOME/Vultar"
printf '\r\n[Setup]\r\nControl=0\r\nsetup_menu=1\r\n\r\n[Music]\r\nCardType=8\r\n\r\n[SoundFX]\r\nCardType=5\r\n' \
    >"$XDG_DATA_HOME/Vultar/setup.ini"

wait_window() {
    xdotool search --sync --onlyvisible --name "$1" | head -n 1
}

shot() { # window file
    sleep 0.7
    import -window "$1" "$out/$2"
    echo "wrote $out/$2"
}

press() { # window keys...
    local w=$1
    shift
    for k in "$@"; do
        xdotool key --clearmodifiers "$k"
        sleep 0.15
    done
}

(cd "$work" && exec "$root/build/vultar" >"$work/vultar.log" 2>&1) &
pids+=($!)
win=$(wait_window "Vultar 0.8.2")
xdotool windowfocus --sync "$win" 2>/dev/null || true
shot "$win" start.png
press "$win" Down Return
shot "$win" main-menu.png
press "$win" Down Down Down Down Return
shot "$win" additional-features.png
press "$win" Escape Escape Escape

if [ -z "$closing" ] && [ -f build/data/FILE0000.GLB ]; then
    "$root/build/tools/glbtool/glbtool" extract build/data/FILE0000.GLB "$work/items" >/dev/null
    closing=$(ls "$work"/items/00002*.bin 2>/dev/null | head -n 1)
fi
if [ -n "$closing" ] && [ -f "$closing" ]; then
    "$root/build/tools/lastscr/lastscr" "$closing" &
    pids+=($!)
    win=$(wait_window "Vultar 0.8.2")
    shot "$win" closing.png
else
    echo "no closing screen (build the data set, or name a file): skipped" >&2
fi
