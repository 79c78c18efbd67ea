#!/usr/bin/env bash
# Builds the game and runs the whole test suite: the optimised build (rules,
# simulator, the shell on the offscreen platform, the pictures, the real
# binary under a virtual display), then the same suite under the address and
# undefined-behaviour sanitizers, then a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

export QT_QPA_PLATFORM=offscreen
cmake --workflow --preset release
cmake --workflow --preset asan
if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh --smoke
fi
