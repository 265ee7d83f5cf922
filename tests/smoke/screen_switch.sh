#!/usr/bin/env bash
# Alt+Enter in a real window on a virtual X display: the editor's menu and edit
# screen and the showcase's first page look the same after a switch to a window
# (or to full screen) and after a switch back. Pixels that change by themselves
# within two seconds of watching are left out; every other one must be identical.
set -euo pipefail
editor="$1"
assets="$2"
showcase="$3"

. "$(dirname "$0")/virtual_display.sh" 1280x960

# The program's 640 x 480 picture as shown now: its window's area of the
# screen, halved when it fills the 1280 x 960 screen.
picture() {
    local out="$1" X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool search --name "$title" getwindowgeometry --shell)"
    xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -sample 640x480! "$out"
}

# Pixels that differ between two pictures, as a white-on-black mask.
difference() { convert "$1" "$2" -compose difference -composite -colorspace gray -threshold 0 "$3"; }

# Watches the screen for two seconds: its first picture, and the mask of what
# moved meanwhile and of the restless rectangles given (WxH+X+Y).
watch_screen() {
    local name="$1" shots=() corners=()
    shift
    for i in $(seq 0 5); do
        picture "$work/$name-$i.png"
        shots+=("$work/$name-$i.png")
        sleep 0.3
    done
    cp "$work/$name-0.png" "$work/$name.png"
    convert "${shots[@]}" -evaluate-sequence max "$work/$name-max.png"
    convert "${shots[@]}" -evaluate-sequence min "$work/$name-min.png"
    difference "$work/$name-max.png" "$work/$name-min.png" "$work/$name-moved.png"
    for restless in "$@"; do
        local w h x y
        IFS='x+' read -r w h x y <<< "$restless"
        corners+=(-draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))")
    done
    [ ${#corners[@]} -eq 0 ] || convert "$work/$name-moved.png" -fill white "${corners[@]}" "$work/$name-moved.png"
}

# Pixels of the picture now that differ from the watched one outside what moved.
changed_pixels() {
    local name="$1"
    picture "$work/$name-now.png"
    difference "$work/$name.png" "$work/$name-now.png" "$work/$name-changed.png"
    convert "$work/$name-changed.png" \( "$work/$name-moved.png" -negate \) -compose multiply -composite \
        -format '%[fx:round(mean*w*h)]' info:
}

failures=0
# Alt+Enter twice, checking the picture after each switch.
switch_twice() {
    local name="$1"
    watch_screen "$@"
    for switch in 1 2; do
        xdotool key alt+Return
        sleep 1
        local changed
        changed=$(changed_pixels "$name")
        if [ "$changed" -ne 0 ]; then
            echo "$name: $changed pixels differ after switch $switch"
            cp "$work/$name.png" "$name-before.png"
            cp "$work/$name-now.png" "$name-after-$switch.png"
            failures=$((failures + 1))
        fi
    done
}

start() {
    "$@" > "$work/program.log" 2>&1 &
    program_pid=$!
    wait_for_window "$title"
    sleep 1.5
}

stop() {
    xdotool key Escape
    for _ in $(seq 50); do kill -0 "$program_pid" 2> /dev/null || break; sleep 0.1; done
    kill "$program_pid" 2> /dev/null || true
    wait "$program_pid" 2> /dev/null || true
    program_pid=""
}

mkdir -p "$work"/editor/{bmp,user/s1,user/s2,user/s3}
cp "$assets"/*.bmp "$work/editor/bmp/"
title="Quib edit"
cd "$work/editor"
start "$editor"
cd - > /dev/null
switch_twice menu
# Full screen shows the picture at twice its size: USER 1 is at (310, 222).
xdotool mousemove 620 444 mousedown 1 sleep 0.2 mouseup 1 mousemove 1000 100 sleep 1.5
# The marker around the pen's palette cell blinks.
switch_twice edit 64x40+438+226
stop

title="Korven showcase"
start "$showcase"
# Its sprites wander in their clip box, its tiles scroll and its frame-rate
# readout (top right) changes whenever it likes.
switch_twice showcase 208x72+12+140 384x80+256+140 88x20+552+0
stop

[ "$failures" -eq 0 ] || { echo "the pictures before and after each switch are kept in $(pwd)"; exit 1; }
echo "every screen kept its picture through two switches"
