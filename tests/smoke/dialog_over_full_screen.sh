#!/usr/bin/env bash
# The showcase switched to full screen in a real window on a virtual X display: on its
# dialog page a selection screen (caption and list box) is opened with L, and
# the screen, halved back to the picture's size, must show what the headless
# run captured for the same page (below the title bar, whose frame-rate
# readout runs on real time).
set -euo pipefail
showcase="$1"
golden="$2"

. "$(dirname "$0")/virtual_display.sh" 1280x960

cd "$work"
"$showcase" > showcase.log 2>&1 &
program_pid=$!
wait_for_window "Korven showcase"
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
