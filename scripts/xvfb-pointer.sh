#!/usr/bin/env bash
# Drives the mouse pointer in a real window on a virtual X server: moves the mouse, presses
# keys, clicks, and takes a screenshot of the whole screen, which shows the pointer where
# the mouse is. It runs the pointer demo window of the tests (tests/gfx/ptrwindow_test.cpp)
# and checks what the window reports against what was done.
#
# Usage: scripts/xvfb-pointer.sh [screenshot.png]     (default build/xvfb-pointer.png)
# Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
shot=$(realpath -m "${1:-build/xvfb-pointer.png}")

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target ptrwindow_test >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/inner.sh" <<'INNER'
set -euo pipefail
source scripts/xvfb-window.sh
work=$1 shot=$2
# The window's settings and screenshots stay in the scratch folder.
export XDG_DATA_HOME=$work
SDL_VIDEODRIVER=x11 VULTAR_POINTER_DEMO=30 build/tests/ptrwindow_test --gtest_filter=PointerWindow.Demo \
    >"$work/log" 2>&1 &
demo=$!
find_window
for _ in $(seq 50); do grep -q '^ready' "$work/log" && break; sleep 0.1; done
window_size

xdotool mousemove --window "$win" $(to_window 40 30)
sleep 0.3
xdotool mousemove --window "$win" $(to_window 200 120)
sleep 0.3
xdotool key --window "$win" a shift+1 Down
xdotool click --window "$win" 1
sleep 0.3
import -window root "$shot"
xdotool key --window "$win" Escape
wait "$demo" || true
INNER

xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/inner.sh" "$work" "$shot"
cat "$work/log" | grep -v '^\[\|^Running\|^Note' || true

# What the window saw must be what was done.
fail=0
check() { grep -q "$1" "$work/log" || { echo "missing: $1" >&2; fail=1; }; }
check '^pointer 40 30$'
check '^pointer 200 120$'
check "^key 30 'a'$"
check "^key 2 '!'$"
check '^key 80 '
check '^click 1 0 0 at 200 120$'
check '^key 1 '
[ $fail -eq 0 ] && echo "pointer and keys as expected; screenshot: $shot"
exit $fail
