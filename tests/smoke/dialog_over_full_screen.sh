#!/usr/bin/env bash
# The showcase switched to full screen in a real window on a virtual X display: on its
# dialog page a selection screen (caption and list box) is opened with L, and
# the screen, halved back to the picture's size, must show what the headless
# run captured for the same page (below the title bar, whose frame-rate
# readout runs on real time).
set -euo pipefail
showcase="$1"
golden="$2"

work=$(mktemp -d)
display=":$((100 + RANDOM % 800))"
cleanup() {
    [ -n "${showcase_pid:-}" ] && kill "$showcase_pid" 2> /dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x960x24 -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.1; done

cd "$work"
"$showcase" > showcase.log 2>&1 &
showcase_pid=$!
timeout 20 xdotool search --sync --name "Korven showcase" > /dev/null
sleep 1
# The showcase starts in a window: Alt+Enter makes it full screen.
xdotool key alt+Return
sleep 1
xdotool mousemove 640 480
for _ in $(seq 8); do xdotool key Right; sleep 0.3; done
xdotool key l
sleep 1.5
import -window root screen.png

# The picture at twice its size fills the 1280 x 960 screen.
convert screen.png -sample 640x480 -crop 640x456+0+24 +repage shown.png
convert "$golden" -crop 640x456+0+24 +repage expected.png
differing=$(compare -metric AE -fuzz 2% shown.png expected.png diff.png 2>&1 || true)
echo "pixels differing from the headless picture: $differing"
xdotool key Escape || true
[ "${differing%%.*}" -lt 50 ] || { cat showcase.log; exit 1; }
echo "dialog over the full-screen picture shown as captured headless"
