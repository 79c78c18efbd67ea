#!/bin/sh
# Plays many hours of game time on the virtual clock and reports the wall
# time, the memory sampled every game hour, the peak memory and the final
# state of every timer. Run on demand; it is not part of the test suite.
#
#   scripts/soak.sh                  24 hours of game time
#   scripts/soak.sh --hours H        H hours
#   scripts/soak.sh --build-dir DIR  build in DIR instead of build/soak
#
# Exits non-zero when a rule of the game is broken on the way.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
hours=24
build="$root/build/soak"

usage() {
    sed -n '2,10s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case "$1" in
    --hours)
        [ $# -ge 2 ] || usage
        hours=$2
        shift
        ;;
    --build-dir)
        [ $# -ge 2 ] || usage
        build=$2
        shift
        ;;
    *) usage ;;
    esac
    shift
done

cd "$root"
cmake --preset release -B "$build" -DZORVANE_BUILD_APP=OFF -DZORVANE_BUILD_TESTS=OFF -DZORVANE_BUILD_BENCHMARKS=OFF
cmake --build "$build" --target zorvane-soak
exec "$build/tools/soak/zorvane-soak" --hours "$hours"
