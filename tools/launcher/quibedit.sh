#!/bin/sh
# Starts the installed editor in the user's workspace, a folder holding bmp/
# and the slot folders user/s1..s3: $XDG_DATA_HOME/quibedit (by default
# ~/.local/share/quibedit), or the folder given with --workspace DIR. The
# first start makes the folders and copies the installed bitmaps in; later
# starts only add what is missing. Nothing there is ever deleted or replaced.
# Every other argument goes to the editor (platform options such as --scale=2).
set -eu

here=$(dirname "$(readlink -f "$0")")
prefix=$(dirname "$here")
program="$prefix/lib/korven/quibedit"
bitmaps="$prefix/share/quibedit/bmp"
workspace="${XDG_DATA_HOME:-${HOME:?HOME is not set}/.local/share}/quibedit"

# --workspace is taken out wherever it stands; the rest keeps its order.
count=$#
taking=""
while [ "$count" -gt 0 ]; do
  arg=$1
  shift
  count=$((count - 1))
  if [ -n "$taking" ]; then
    workspace=$arg
    taking=""
    continue
  fi
  case "$arg" in
    --workspace) taking=yes ;;
    --workspace=*) workspace=${arg#--workspace=} ;;
    --help)
      echo "usage: quibedit [--workspace DIR] [platform options]"
      echo "Runs the stage editor in its workspace: $workspace unless DIR is given."
      exit 0 ;;
    *) set -- "$@" "$arg" ;;
  esac
done
[ -z "$taking" ] || { echo "quibedit: --workspace needs a folder" >&2; exit 2; }
[ -n "$workspace" ] || { echo "quibedit: --workspace needs a folder" >&2; exit 2; }

mkdir -p "$workspace/bmp" "$workspace/user/s1" "$workspace/user/s2" "$workspace/user/s3"
for bitmap in "$bitmaps"/*.bmp; do
  [ -e "$workspace/bmp/${bitmap##*/}" ] || cp "$bitmap" "$workspace/bmp/"
done
cd "$workspace"
exec "$program" "$@"
