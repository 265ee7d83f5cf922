# Checks shared by the install and package tests: what an installed tree under
# a prefix must hold, and that its programs work from there. Source it, then
# call check_installed_tree PREFIX SCRATCH. Each failure says what is wrong.

fail() { echo "FAIL: $*" >&2; exit 1; }

check_installed_tree() {
  local prefix=$1 scratch=$2
  local f
  for f in bin/quibedit bin/quibstage bin/korven-showcase lib/korven/quibedit lib/korven/showcase \
           lib/korven/plugins/libpngpicture.so lib/korven/plugins/libjpegpicture.so lib/korven/plugins/libgifpicture.so \
           lib/korven/showcase-data/sunset.kbm lib/libkorven.a lib/libkorven_platform.a lib/libkorven_main.a \
           include/korven/framework/app/app.h include/korven/platform/win/win.h \
           lib/cmake/Korven/KorvenConfig.cmake lib/cmake/Korven/KorvenConfigVersion.cmake lib/pkgconfig/korven.pc \
           share/quibedit/bmp/Ball.bmp share/quibedit/bmp/back01.bmp share/applications/quibedit.desktop \
           share/icons/hicolor/48x48/apps/quibedit.png; do
    [ -e "$prefix/$f" ] || fail "$prefix/$f is not installed"
  done
  [ "$(ls "$prefix/share/quibedit/bmp" | wc -l)" -eq 13 ] || fail "the editor's 13 bitmaps are not all installed"
  [ -z "$(find "$prefix/include" -path '*sdl2*')" ] || fail "the desktop backend's private headers are installed"

  # The launcher: a workspace in the XDG data folder, made the first time.
  local data=$scratch/data script=$scratch/choose-slot.txt
  printf '0 move 292 222\n1 press lbutton\n2 release lbutton\n' > "$script"
  (cd / && XDG_DATA_HOME=$data "$prefix/bin/quibedit" --headless --script="$script" 2> "$scratch/launcher.log") ||
    fail "the launcher did not run the editor: $(cat "$scratch/launcher.log")"
  local ws=$data/quibedit
  [ "$(ls "$ws/bmp" | wc -l)" -eq 13 ] || fail "the workspace did not get the bitmaps"
  [ -d "$ws/user/s2" ] && [ -d "$ws/user/s3" ] || fail "the workspace did not get its slot folders"
  [ -f "$ws/user/s1/stage008.clb" ] || fail "the editor did not save the sample stages in the workspace"

  # Later starts keep what is there: stages, even stray files, and changed bitmaps.
  echo "mine" > "$ws/user/s2/stage050.clb"
  echo "mine" > "$ws/bmp/Ball.bmp"
  rm "$ws/bmp/Font.bmp"
  local before; before=$(cd "$ws" && find . -type f ! -path './bmp/Font.bmp' -exec md5sum {} + | sort)
  (cd / && XDG_DATA_HOME=$data "$prefix/bin/quibedit" --headless --max-frames=3 2>/dev/null) ||
    fail "the second start failed"
  [ "$(cd "$ws" && find . -type f ! -path './bmp/Font.bmp' -exec md5sum {} + | sort)" = "$before" ] ||
    fail "a later start changed the workspace"
  [ -f "$ws/bmp/Font.bmp" ] || fail "a missing bitmap was not put back"

  # --workspace chooses another folder.
  (cd / && XDG_DATA_HOME=$data "$prefix/bin/quibedit" --headless --max-frames=3 --workspace "$scratch/other" 2>/dev/null) ||
    fail "--workspace did not run"
  [ -d "$scratch/other/user/s1" ] && [ -f "$scratch/other/bmp/Frame.bmp" ] || fail "--workspace made no workspace"

  # The stage tool finds the installed bitmaps from anywhere.
  (cd "$scratch" && "$prefix/bin/quibstage" render "$ws/user/s1" 2 --out two.png && [ -s two.png ]) ||
    fail "the installed quibstage could not render"
  "$prefix/bin/korven-showcase" --headless --max-frames=5 > /dev/null 2>&1 || fail "the installed showcase did not run"
}
