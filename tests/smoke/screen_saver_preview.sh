#!/usr/bin/env bash
# A screen saver's preview drawn into another program's window on a virtual X
# display: the preview bitmap must fill that window, and a terminate request
# must end the program.
set -euo pipefail
saver="$1"

. "$(dirname "$0")/virtual_display.sh" 640x480

# The host window: a static picture of another program, 300 x 200 at (100, 100).
xlogo -geometry 300x200+100+100 > /dev/null 2>&1 &
host_pid=$!
top=$(timeout 10 xdotool search --sync --name xlogo | head -1)
area=$(xwininfo -children -id "$top" | awk '/^ +0x/ {print $1; exit}')
[ -n "$area" ] || area=$top

"$saver" /p "$((area))" > "$work/saver.log" 2>&1 &
program_pid=$!

# The middle of the preview shows the middle of the bitmap: its yellow disc.
# The saver starts at its own pace, so the picture is awaited (20 s at most).
deadline=$((SECONDS + 20))
while :; do
    pixel=$(xwd -root -silent | convert xwd:- -crop 1x1+250+200 -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}')
    [ "$pixel" = "#FAD228" ] || [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.1
done
[ "$pixel" = "#FAD228" ] || { echo "preview pixel is $pixel, expected #FAD228"; cat "$work/saver.log"; exit 1; }

kill -TERM "$program_pid"
for _ in $(seq 50); do kill -0 "$program_pid" 2> /dev/null || break; sleep 0.1; done
if kill -0 "$program_pid" 2> /dev/null; then echo "the preview did not end on a terminate request"; exit 1; fi
program_pid=""
echo "screen-saver preview test passed"
