# Sourced by the real-window tests with the screen's size (WIDTHxHEIGHT): a
# virtual X display of the test's own becomes DISPLAY, $work a scratch folder,
# and at exit the program under test ($program_pid), a host program
# ($host_pid), the display and the folder go.
work=$(mktemp -d)
display=":$((100 + RANDOM % 800))"
cleanup() {
    [ -n "${program_pid:-}" ] && kill -9 "$program_pid" 2> /dev/null || true
    [ -n "${host_pid:-}" ] && kill "$host_pid" 2> /dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 "${1}x24" -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.1; done

# Waits up to 60 s (a loaded machine starts programs slowly) for a window with
# this title. A search that meets a window going away as it looks (SDL
# re-creates its window when it picks a renderer) fails, so it is repeated.
wait_for_window() {
    local deadline=$((SECONDS + 60))
    until xdotool search --name "$1" > /dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || { echo "no window titled '$1' appeared"; return 1; }
        sleep 0.1
    done
}
