#!/usr/bin/env bash
# Sets up a fresh Debian 12 or Ubuntu machine, builds the show with its
# generated assets, then plays it (`play`) or runs every test (`test`).
#   ./bootstrap.sh play [show options]
#   ./bootstrap.sh test
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-play}
[ $# -gt 0 ] && shift

packages=(build-essential cmake pkg-config clang libclang-rt-dev
  libsdl2-dev libsdl2-image-dev libepoxy-dev libgl-dev libglu1-mesa-dev libegl-dev
  libgl1-mesa-dri libvorbis-dev libogg-dev libkissfft-dev libfreetype-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev ffmpeg)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  # Install what this release offers; name what it does not.
  available=()
  for p in "${missing[@]}"; do
    if apt-cache show "$p" >/dev/null 2>&1; then available+=("$p"); else echo "not available here: $p" >&2; fi
  done
  echo "Installing: ${available[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${available[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

case "$mode" in
  play)
    cd build && exec ./quorblestration9 "$@"
    ;;
  test)
    export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
    (cd build && ctest --output-on-failure -j"$jobs")
    if [ -x tests/extra-checks.sh ]; then tests/extra-checks.sh; fi
    ;;
  *)
    echo "usage: $0 play [show options] | test" >&2
    exit 2
    ;;
esac
