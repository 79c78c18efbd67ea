#!/usr/bin/env bash
# What real play costs the machine, measured on the game's own process:
#
#   bench/realtime/play_cost.sh [seconds] [invaders]
#
# Builds the release preset, then runs build/release/bench/realtime/
# zorvane_realtime_play_cost three times, each on a fresh Xvfb whose screen is
# the battlefield's size, 1608 x 897, with no window manager:
#   - idle: Start pressed, the player idle in wave 1, N seconds (30 unless
#     given): CPU time and voluntary wake-ups (getrusage of the game process);
#   - field: the same with about M invaders on the field (200 unless given);
#   - floor: no game, a bare window woken 40 times a second and repainting a
#     small rectangle 20 times a second: what Qt and X cost on this machine
#     right now, the reference for the other two.
# Prints the reports and a summary of the budgets; the full output is kept
# in build/release/realtime-results/play_cost_*.txt. BUILD=0 skips the build
# (to measure a build made elsewhere: BIN=/path/to/zorvane_realtime_play_cost).
#
# CPU time is what other work on the machine disturbs least, but a loaded
# machine still costs the game cache misses: note the load (printed before
# and after) and repeat a run before trusting one number.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cd "$root"

seconds=${1:-30}
invaders=${2:-200}

if [[ ${BUILD:-1} != 0 ]]; then
    cmake --preset release >/dev/null
    cmake --build --preset release
fi
bin=${BIN:-$root/build/release/bench/realtime/zorvane_realtime_play_cost}
[[ -x $bin ]] || { echo "not built: $bin (it needs the desktop shell, Qt 6)" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is missing (Debian package xvfb)" >&2; exit 1; }

results=$root/build/release/realtime-results
mkdir -p "$results"

work=$(mktemp -d)
xvfb=
cleanup() {
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# Qt wants a private runtime folder; without one it warns on every start.
export XDG_RUNTIME_DIR=$work

# A fresh server per run, so that nothing of the previous run is left in it.
run() {  # run NAME ARGS...
    local name=$1
    shift
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1608x897x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    local deadline=$((SECONDS + 10))
    until [[ -s $work/display ]]; do
        [[ $SECONDS -lt $deadline ]] || { echo "Xvfb did not start" >&2; return 1; }
        sleep 0.1
    done
    local status=0
    DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb "$bin" "$@" | tee "$results/play_cost_$name.txt" ||
        status=$?
    kill "$xvfb" && wait "$xvfb" 2>/dev/null || true
    xvfb=
    return $status
}

status=0
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== idle player in wave 1, $seconds s"
run idle "$seconds" || status=1
echo "== about $invaders invaders on the field, $seconds s"
run field --field "$invaders" "$seconds" || status=1
echo "== floor: a bare window, $seconds s"
run floor --floor "$seconds" || status=1
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "Budgets:"
for name in idle field; do
    grep -h '^budget:' "$results/play_cost_$name.txt" | sed "s/^budget:/  $name:/" || echo "  $name: no result"
done
grep -h '^reference:' "$results/play_cost_floor.txt" | sed "s/^reference:/  floor (no game):/" || echo "  floor: no result"
exit $status
