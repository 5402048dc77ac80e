#!/usr/bin/env bash
# Runs the game in a real X window on a virtual X server and prints, for each setting
# given, the share of one core the game process takes (its processor time over the wall
# time, from /proc) and its resident memory: first for SECONDS in the main menu, then for
# SECONDS in a mission (the recorded missions the main menu plays when D is pressed).
# The settings are measured in the same run, interleaved round by round, so the noise of a
# shared machine falls on all of them alike. The table gives the median of the rounds and
# the load average of the machine meanwhile; the last lines are the ratios to the first.
#
# Usage: scripts/measure-present.sh [-s SECONDS] [-r ROUNDS] [-w WxH] [-m] [-b GAME]
#                                   [SETTING...]
#   SETTING  a name below, or NAME=KEY=VALUE,KEY=VALUE for [Video] keys of your own
#            (default: classic current)
#            classic   the presentation as it was: the renderer SDL picks first, the
#                      picture converted, uploaded and scaled in three steps every tick
#            current   the settings a first run writes
#            software, opengl, opengles2   the current presentation on that renderer
#   -m       also print where the resident memory of the mission is (largest mappings)
#   -p DIR   screenshots of the menu and the mission of each setting go to DIR
#   -b GAME  also measure every setting with this other build of the game (the program
#            file, for example an older commit's), as NAME-base, on the same data
#
# Needs xvfb-run, xdotool and the built game (it is built here).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=10 rounds=1 size=800x600 maps=0 shots= base=
while getopts "s:r:w:mp:b:" opt; do
    case $opt in
    s) seconds=$OPTARG ;;
    r) rounds=$OPTARG ;;
    w) size=$OPTARG ;;
    m) maps=1 ;;
    p) shots=$(realpath -m "$OPTARG"); mkdir -p "$shots" ;;
    b) base=$(realpath "$OPTARG") ;;
    *) sed -n '2,22p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ $# -gt 0 ] || set -- classic current

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target vultar vultar_data >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The [Video] lines of one setting.
video_keys() {
    case $1 in
    classic) echo "classic_present=1 force_software_renderer=0" ;;
    current) echo "" ;;
    software) echo "force_software_renderer=1" ;;
    opengl | opengles2) echo "force_software_renderer=0" ;;
    *=*) echo "${1#*=}" | tr ',' ' ' ;;
    *) echo "unknown setting $1" >&2; exit 2 ;;
    esac
}
names=()
settings=("$@")
if [ -n "$base" ]; then
    for s in "$@"; do settings+=("${s%%=*}-base${s#"${s%%=*}"}"); done
fi
for s in "${settings[@]}"; do
    name=${s%%=*}
    names+=("$name")
    game=$(realpath build/vultar)
    case $name in *-base) game=$base s=${s/-base/} ;; esac
    echo "$game" >"$work/$name.game"
    mkdir -p "$work/$name/Vultar"
    {
        # Music synthesised in the game (the FM back-end, the heaviest) and effects on,
        # through SDL's dummy audio output, in a window; no setup screen before the game.
        printf '\r\n[Setup]\r\nsetup_menu=0\r\nControl=1\r\n'
        printf '\r\n[Music]\r\nVolume=85\r\nCardType=5\r\n'
        printf '\r\n[SoundFX]\r\nVolume=85\r\nCardType=5\r\nChannels=4\r\n'
        printf '\r\n[Video]\r\nfullscreen=0\r\n'
        for kv in $(video_keys "$s"); do printf '%s\r\n' "$kv"; done
    } >"$work/$name/Vultar/setup.ini"
    # Which hardware renderer SDL takes is SDL's own setting.
    case $s in
    opengl | opengles2) echo "$s" >"$work/$name/render_driver" ;;
    esac
done

cat >"$work/inner.sh" <<'INNER'
set -euo pipefail
source scripts/xvfb-window.sh
work=$1 seconds=$2 rounds=$3 size=$4 maps=$5 shots=$6
shift 6
shot() { [ "$shots" = - ] || import -window root "$shots/$1.png"; }
hz=$(getconf CLK_TCK)

# Processor ticks (user + system) of a process.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now_ms() { date +%s%3N; }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

# One window phase: prints "cpu% rssMB" of the game over the next $seconds.
measure() {
    local pid=$1 t0 c0 t1 c1
    t0=$(now_ms); c0=$(ticks "$pid")
    sleep "$seconds"
    t1=$(now_ms); c1=$(ticks "$pid")
    awk -v c=$((c1 - c0)) -v t=$((t1 - t0)) -v hz="$hz" -v r="$(rss_kb "$pid")" \
        'BEGIN { printf "%.1f %.1f\n", 100 * c / hz / (t / 1000), r / 1024 }'
}

# Resident memory of a process by mapping, largest first.
mapping_split() {
    awk '/^[0-9a-f]+-[0-9a-f]+ / { name = (NF >= 6) ? $6 : "[anonymous]" }
         /^Rss:/ { rss[name] += $2 }
         END { for (n in rss) if (rss[n] >= 256) printf "    %7.1f MB  %s\n", rss[n] / 1024, n }' \
        "/proc/$1/smaps" | sort -rn | head -n 15
}

for round in $(seq "$rounds"); do
    # Alternate the order every round so a drift in the machine's load favours none.
    order=("$@")
    if [ $((round % 2)) -eq 0 ]; then
        order=()
        for ((i = $#; i >= 1; i--)); do order+=("${!i}"); done
    fi
    for name in "${order[@]}"; do
        export XDG_DATA_HOME=$work/$name QX_MODE=GANTRY VULTAR_STARTUP_TIMES=1
        driver=$(cat "$work/$name/render_driver" 2>/dev/null || true)
        program=$(cat "$work/$name.game")
        (cd build/data && exec env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ${driver:+SDL_RENDER_DRIVER=$driver} "$program") \
            >"$work/$name.log" 2>&1 &
        game=$!
        find_window
        xdotool windowsize --sync "$win" "${size%x*}" "${size#*x}" 2>/dev/null || true
        # The menu is up when the game says so (or after a while on builds that do not).
        # Until then a Shift held now and then skips the opening cut-scene (it looks for a
        # key held between its frames); the main menu ignores Shift should one come late.
        xdotool windowfocus --sync "$win" 2>/dev/null || true
        for _ in $(seq 60); do
            grep -q "^Start-up:" "$work/$name.log" && break
            xdotool keydown shift
            sleep 0.2
            xdotool keyup shift
            sleep 0.1
        done
        startup=$(grep -m1 "^Start-up:" "$work/$name.log" | sed 's/^Start-up: //' || true)
        sleep 2 # the menu fading in
        window_size >/dev/null
        load=$(cut -d' ' -f1 /proc/loadavg)
        menu=$(measure "$game")
        shot "$name-menu"
        # D in the main menu plays the recorded missions: the mission loop as a wave runs
        # it, with the recorded input.
        xdotool key d
        sleep 3 # the wave loading and starting
        mission=$(measure "$game")
        shot "$name-mission"
        if [ "$maps" = 1 ]; then
            echo "  $name mission, resident memory by mapping:"
            mapping_split "$game"
        fi
        renderer=$(grep -m1 "^I_InitGraphics: renderer" "$work/$name.log" | awk '{print $3}' || true)
        kill "$game" 2>/dev/null || true
        wait "$game" 2>/dev/null || true
        echo "$round $name $menu $mission ${WIDTH}x$HEIGHT [${renderer:-?}] $load ${startup:-?}"
    done
done >"$work/results"
INNER

echo "Measuring ${seconds} s of menu and of mission per setting, $rounds round(s), window $size"
xvfb-run -a -s "-screen 0 2048x1200x24" bash "$work/inner.sh" "$work" "$seconds" "$rounds" \
    "$size" "$maps" "${shots:--}" "${names[@]}"
grep '^ ' "$work/results" || true
grep -v '^ ' "$work/results" | awk -v base="${names[0]}" '
    # The median of the values v[s, 1..n].
    function median(v, s, n,    i, j, t, a) {
        for (i = 1; i <= n; i++) a[i] = v[s, i]
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    { c = ++n[$2]; mc[$2, c] = $3; mr[$2, c] = $4; wc[$2, c] = $5; wr[$2, c] = $6; ld[$2, c] = $9
      info[$2] = $7 " " $8; st[$2] = ""; for (i = 10; i <= NF; i++) st[$2] = st[$2] " " $i
      if (!($2 in seen)) { seen[$2] = 1; order[++k] = $2 }
      printf "round %d %-13s menu %5.1f%% %6.1f MB   mission %5.1f%% %6.1f MB   %s  load %s\n", $1, $2, $3, $4, $5, $6, $7 " " $8, $9 }
    END {
      print ""
      printf "median of %d round(s)\n", n[base]
      printf "%-13s %-22s %9s %9s %11s %11s %6s\n", "setting", "window [renderer]", "menu CPU", "resident", "mission CPU", "resident", "load"
      for (i = 1; i <= k; i++) { s = order[i]
        m1[s] = median(mc, s, n[s]); m2[s] = median(wc, s, n[s]); m3[s] = median(wr, s, n[s])
        printf "%-13s %-22s %8.1f%% %6.1f MB %10.1f%% %6.1f MB %6.2f\n", s, info[s], m1[s], median(mr, s, n[s]), m2[s], m3[s], median(ld, s, n[s]) }
      print ""
      for (i = 1; i <= k; i++) { s = order[i]; if (st[s] != "") printf "start-up %-13s%s\n", s, st[s] }
      b = base
      for (i = 2; i <= k; i++) { s = order[i]
        printf "ratio %s / %s: menu CPU %.3f, mission CPU %.3f, mission resident %.3f\n", s, b,
            (m1[b] > 0 ? m1[s]/m1[b] : 0), (m2[b] > 0 ? m2[s]/m2[b] : 0), (m3[b] > 0 ? m3[s]/m3[b] : 0) }
    }'
