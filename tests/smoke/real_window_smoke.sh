#!/usr/bin/env bash
# The editor in a real window on a virtual X display: choose USER 1 with the
# mouse, then hold Esc (or, with "display-lost", end the X server under it),
# and check the exit status and the stage files written.
set -euo pipefail
editor="$1"
assets="$2"
ending="${3:-esc}"

. "$(dirname "$0")/virtual_display.sh" 1280x960
mkdir -p "$work"/{bmp,user/s1,user/s2,user/s3}
cp "$assets"/*.bmp "$work/bmp/"

cd "$work"
"$editor" > editor.log 2>&1 &
program_pid=$!
wait_for_window "Quib edit"
sleep 1

# Full screen on a 1280 x 960 desktop shows the picture at twice its size:
# USER 1 stands at (310, 222) in the picture.
xdotool mousemove 620 444 sleep 0.3 mousedown 1 sleep 0.2 mouseup 1 sleep 0.5
if [ "$ending" = display-lost ]; then
    kill "$xvfb_pid"
    xvfb_pid=""
else
    xdotool keydown Escape sleep 0.3 keyup Escape
fi

status=0
for _ in $(seq 100); do kill -0 "$program_pid" 2> /dev/null || break; sleep 0.1; done
wait "$program_pid" || status=$?
program_pid=""
cat editor.log
[ "$status" -eq 0 ] || { echo "editor exit status $status"; exit 1; }
! grep -q '^ALSA lib' editor.log || { echo "the sound library's own messages reached the log"; exit 1; }
if [ "$ending" = display-lost ]; then
    grep -q "connection to the desktop's display was lost" editor.log || { echo "the loss was not logged"; exit 1; }
fi
count=$(ls user/s1 | grep -c '^stage00[1-8]\.clb$' || true)
[ "$count" -eq 8 ] || { echo "expected the 8 sample stages in user/s1, found: $(ls user/s1)"; exit 1; }
[ -z "$(find user/s2 user/s3 -type f)" ] || { echo "other slots were written"; exit 1; }
for f in user/s1/*.clb; do [ "$(stat -c %s "$f")" -eq 1772 ] || { echo "$f is not 1772 bytes"; exit 1; }; done
echo "real-window smoke test passed"
