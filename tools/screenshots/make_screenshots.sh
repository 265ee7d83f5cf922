#!/usr/bin/env bash
# Makes the README's pictures: runs the editor (in a fresh workspace) and the
# showcase on the headless backend with the scripts in docs/screenshots and
# writes their captures to OUT_DIR.
#   make_screenshots.sh BIN_DIR SOURCE_DIR OUT_DIR
set -euo pipefail
bin=$(readlink -f "$1") source=$(readlink -f "$2")
mkdir -p "$3"
out=$(readlink -f "$3")
scripts=$source/docs/screenshots
workspace=$(mktemp -d)
trap 'rm -rf "$workspace"' EXIT
mkdir -p "$workspace/bmp" "$workspace/user/s1" "$workspace/user/s2" "$workspace/user/s3"
cp "$source"/assets/bmp/*.bmp "$workspace/bmp/"
(cd "$workspace" && "$bin/quibedit" --script="$scripts/editor.script" --capture-dir="$out" 2> "$workspace/log") ||
  { cat "$workspace/log" >&2; exit 1; }
(cd "$workspace" && "$bin/showcase" --script="$scripts/showcase.script" --capture-dir="$out" \
  --cd-image="$bin/showcase-data/tones.cue" 2> "$workspace/log") ||
  { cat "$workspace/log" >&2; exit 1; }
