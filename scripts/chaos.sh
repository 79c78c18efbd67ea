#!/bin/sh
# Plays random real input into the game built with the address and
# undefined-behaviour sanitizers (the `asan` preset) on a virtual X display,
# in runs of at most 5 minutes, under openbox for odd seeds and without a
# window manager for even ones; tests/chaos/chaos.sh says what is played and
# checked.
#
#   scripts/chaos.sh --minutes N     N minutes in all (default 10)
#   scripts/chaos.sh --seed S        the first run's seed (default: the time);
#                                    run k has seed S + k
#
# Exits non-zero on the first sanitizer report, crash, hang, slow exit or
# process left behind, with the seed and the last actions.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
minutes=10
seed=$(date +%s)

usage() {
    sed -n '2,14s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case "$1" in
    --minutes | --seed)
        [ $# -ge 2 ] || usage
        case "$2" in '' | *[!0-9]*) usage ;; esac
        if [ "$1" = --minutes ]; then minutes=$2; else seed=$2; fi
        shift
        ;;
    *) usage ;;
    esac
    shift
done
[ "$minutes" -gt 0 ] || usage

cd "$root"
cmake --preset asan >/dev/null
cmake --build --preset asan --target zorvane

total=$((minutes * 60))
runs=$(((total + 299) / 300))
seeds=""
k=0
while [ $k -lt $runs ]; do
    seeds="$seeds $((seed + k))"
    k=$((k + 1))
done
echo "chaos: $minutes minutes in $runs runs, seeds$seeds"
# shellcheck disable=SC2086 # one argument per seed
exec bash tests/chaos/chaos.sh build/asan/src/app/zorvane $((total / runs)) $seeds
