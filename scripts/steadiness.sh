#!/bin/sh
# Runs the real-window suites again and again, to show that they give one
# verdict however often they run and however busy the machine is: the real
# input on X11 and as a Wayland client, and the seeded random input of the
# sanitizer suite (seeds 1 and 2, 22 s each), in one build.
#
#   scripts/steadiness.sh [--build release|asan] [--runs N] [--load]
#
#   --build B  the build folder build/B, built first (default release)
#   --runs N   how many times each suite runs (default 10)
#   --load     two processes keep both cores busy the whole time, at the
#              suites' own priority
#
# Prints one line a run and a count of failures; keeps the output of each
# failed run in build/B/steadiness/. Exits non-zero when any run failed.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=release
runs=10
load=0

usage() {
    sed -n '2,15s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case "$1" in
    --build)
        [ $# -ge 2 ] || usage
        case "$2" in release | asan) build=$2 ;; *) usage ;; esac
        shift
        ;;
    --runs)
        [ $# -ge 2 ] || usage
        case "$2" in '' | *[!0-9]*) usage ;; esac
        runs=$2
        shift
        ;;
    --load) load=1 ;;
    *) usage ;;
    esac
    shift
done

cd "$root"
cmake --preset "$build" >/dev/null
cmake --build --preset "$build" --target zorvane zorvane-scale-down >/dev/null
game="$root/build/$build/src/app/zorvane"
out="$root/build/$build/steadiness"
rm -rf "$out"
mkdir -p "$out"

busy=""
if [ "$load" = 1 ]; then
    for _ in 1 2; do
        sh -c 'while :; do :; done' &
        busy="$busy $!"
    done
    trap 'kill $busy 2>/dev/null' EXIT
fi

failed=0
k=1
while [ $k -le "$runs" ]; do
    for suite in x11 wayland chaos; do
        log="$out/$suite-$k.log"
        start=$(date +%s)
        case $suite in
        chaos) set -- bash tests/chaos/chaos.sh "$game" 22 1 2 ;;
        *) set -- bash tests/xvfb/real_input.sh "$game" "$out/$suite-$k" "$suite" ;;
        esac
        if QT_QPA_PLATFORM=offscreen "$@" >"$log" 2>&1; then
            echo "steadiness: $build run $k $suite: pass in $(($(date +%s) - start)) s"
            rm -f "$log"
        else
            failed=$((failed + 1))
            echo "steadiness: $build run $k $suite: FAIL in $(($(date +%s) - start)) s: $(grep -m1 'FAIL' "$log" || tail -1 "$log")"
        fi
    done
    k=$((k + 1))
done
echo "steadiness: $build, $runs runs of each suite$([ "$load" = 1 ] && echo ' under load'): $((runs * 3 - failed)) passed, $failed failed"
[ $failed -eq 0 ]
