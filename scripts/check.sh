#!/usr/bin/env bash
# Checks the sources' format, builds the game and runs the whole test suite: the optimised build (rules,
# simulator, the shell on the offscreen platform, the pictures, the real
# binary under a virtual display), a short fuzzing run, then the same suite
# under the address and undefined-behaviour sanitizers, and last the WebAssembly
# build with its tests under node and in real browsers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen
cmake --workflow --preset release
scripts/fuzz.sh --smoke
cmake --workflow --preset asan
cmake --workflow --preset web
