#!/usr/bin/env bash
# Installs, from the Debian archive, everything the game needs to build, run
# and be tested, on Debian 12 (bookworm) or Debian 13 (trixie), by the names
# each release uses. Safe to run again; uses sudo when not run as root.
set -euo pipefail

. /etc/os-release
case "${VERSION_CODENAME:-}" in
bookworm)
  # Liberation 2 is a package of its own here; fonts-liberation is 1.x.
  liberation=fonts-liberation2
  # emcc's optimiser needs acorn, which emscripten only recommends here.
  web_extra=(node-acorn)
  ;;
trixie)
  liberation=fonts-liberation
  web_extra=()
  ;;
*)
  echo "install-deps: ${PRETTY_NAME:-this system} is not supported; Debian 12 (bookworm) and 13 (trixie) are" >&2
  exit 1
  ;;
esac

packages=(
  # build
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev
  # decimal text without the standard library's conversions (the web build)
  libfast-float-dev libdragonbox-dev
  # the web build: the rules and the runner as WebAssembly, run under node
  emscripten nodejs "${web_extra[@]}"
  # ... and the page played in real browsers, driven by an npm package
  chromium firefox-esr
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  # coverage reports
  gcovr
  # the real window under a virtual display, driven by real input
  xvfb xauth xdotool x11-utils imagemagick openbox
  python3-pil
  # ... and as a Wayland client of a nested compositor
  weston qt6-wayland
  # fonts the game's texts are set in
  "$liberation" culmus fonts-dejavu-core
  # packaging checks
  desktop-file-utils appstream dpkg-dev file lintian
  # benchmarks: whole-process timings
  time
)

# npm from Debian, unless a node from elsewhere brought its own (Debian's npm
# conflicts with such a node).
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The browser tests' driver, at the version the lockfile pins; it downloads
# no browser: the tests use Debian's.
web_tests="$(cd "$(dirname "$0")/.." && pwd)/tests/web"
if ! cmp -s "$web_tests/package-lock.json" "$web_tests/node_modules/.installed-lock.json" 2>/dev/null; then
  npm ci --prefix "$web_tests" --ignore-scripts --no-audit --no-fund
  cp "$web_tests/package-lock.json" "$web_tests/node_modules/.installed-lock.json"
fi
