#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with. This is
# the only list of system packages; it returns at once when all are present.
set -euo pipefail

PACKAGES=(
  # build
  g++ make cmake ninja-build pkg-config
  # the desktop backend
  libsdl2-dev
  # frame captures (PNG) and the image decoder plug-ins
  libpng-dev libjpeg62-turbo-dev libgif-dev
  # the compressed .x models the 3D tests write
  zlib1g-dev
  # the module player library (MOD, S3M, XM, IT music); ffmpeg writes the
  # sound tests' WAVE files as other programs make them
  libopenmpt-dev ffmpeg
  # the bitmap generator's font rendering and its font
  libfreetype-dev fonts-dejavu-core
  # GDI text: font matching, rasterisation and the Japanese Gothic face
  libfontconfig-dev fonts-ipafont-gothic
  # X models of the 3D scene; real models made by other tools for its tests
  libassimp-dev assimp-testmodels
  # MIDI through a SoundFont synthesizer and its General MIDI SoundFonts, CD
  # audio from discs and disc images, movies (and the movie generator's encoder)
  libfluidsynth-dev timgm6mb-soundfont fluid-soundfont-gm libcdio-dev libcdio-utils
  libavcodec-dev libavformat-dev libswscale-dev libswresample-dev libavutil-dev ffmpeg
  # a MIDI writer other than ours, for the sequencer's tests
  abcmidi
  # network sessions over UDP; the local-network search test's namespaces
  libenet-dev iproute2 util-linux
  # tests and benchmarks; Mesa's software rasteriser to measure the 3D one against
  libgtest-dev libgmock-dev libbenchmark-dev libosmesa6-dev
  # the fuzz targets: clang with libFuzzer and the sanitizer runtimes
  clang-14 libclang-rt-14-dev
  # the real-window tests: a virtual X display, a pointer driver, a host
  # window for the screen-saver preview and screen grabs
  xvfb xdotool x11-apps x11-utils imagemagick
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
