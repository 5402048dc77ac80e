# Sourced by the scripts that drive a game window on a virtual X server.
#
# find_window: waits for the window titled "Vultar 0.8.2" and sets win, WIDTH and HEIGHT.
# to_window X Y: screen coordinates (320 x 200) to window pixels, the picture shown 4:3.
find_window() {
    win=$(xdotool search --sync --name "Vultar 0.8.2" | head -n1)
}
window_size() {
    eval "$(xdotool getwindowgeometry --shell "$win")"
    echo "window $WIDTH x $HEIGHT"
}
to_window() { echo $(( $1 * WIDTH / 320 + WIDTH / 640 )) $(( $2 * HEIGHT / 200 + HEIGHT / 400 )); }
