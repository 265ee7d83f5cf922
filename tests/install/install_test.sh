#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the tree, and builds a
# program outside the repository against it twice: with find_package(Korven)
# and with pkg-config.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
source "$source/tests/install/installed_tree_checks.sh"

cmake --install "$build" --prefix "$prefix" > /dev/null
check_installed_tree "$prefix" "$scratch"

cmake -S "$source/tests/external_program" -B "$scratch/cmake-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$scratch/cmake-build" > /dev/null
"$scratch/cmake-build/external_program" --headless > "$scratch/run.log" 2>&1 || fail "$(cat "$scratch/run.log")"
grep -q "external program loaded its bitmap resource" "$scratch/run.log" ||
  fail "the program built with find_package(Korven) did not get its bitmap resource"
grep -q "external program ran 30 frames" "$scratch/run.log" ||
  fail "the program built with find_package(Korven) did not run"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
g++ "$source/tests/external_program/main.cpp" $(pkg-config --cflags --libs korven) -o "$scratch/pc_program"
"$scratch/pc_program" --headless 2>&1 | grep -q "external program ran 30 frames" ||
  fail "the program built with pkg-config did not run"
echo "installed tree, launcher, CMake package and pkg-config file work"
