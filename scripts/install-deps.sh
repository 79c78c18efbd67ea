#!/usr/bin/env bash
# Installs, from Debian 12's own archive, everything the game needs to build,
# run and be tested. Safe to run again; uses sudo when not run as root.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  # coverage reports
  gcovr
  # the real window under a virtual display, driven by real input
  xvfb xauth xdotool x11-utils imagemagick openbox
  python3-pil
  # ... and as a Wayland client of a nested compositor
  weston qt6-wayland
  # fonts the game's texts are set in
  fonts-liberation2 culmus fonts-dejavu-core
  # packaging checks
  desktop-file-utils appstream dpkg-dev file lintian
  # benchmarks: whole-process timings
  time
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
