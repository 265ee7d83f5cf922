#!/usr/bin/env bash
# Builds the Debian package, checks what it declares, unpacks it into a
# scratch root and checks that it holds exactly what the install step puts
# under the prefix, and that the programs work from there.
#   package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$source/tests/install/installed_tree_checks.sh"

(cd "$build" && cpack -G DEB -B "$scratch/package" > "$scratch/cpack.log" 2>&1) ||
  fail "cpack failed: $(tail -20 "$scratch/cpack.log")"
deb=$(ls "$scratch"/package/*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = korven ] || fail "the package is not named korven"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2 libfontconfig libfreetype libpng libjpeg libgif libstdc++ fonts-ipafont-gothic; do
  echo "$depends" | grep -q "$library" || fail "Depends lacks $library: $depends"
done

dpkg -x "$deb" "$scratch/root"
cmake --install "$build" --prefix "$scratch/prefix" > /dev/null
diff <(cd "$scratch/prefix" && find . ! -type d | sort) <(cd "$scratch/root/usr" && find . ! -type d | sort) ||
  fail "the package and the install step hold different files"
check_installed_tree "$scratch/root/usr" "$scratch"
echo "the package declares its dependencies and installs what the install step lists"
