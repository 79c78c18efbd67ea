#!/usr/bin/env bash
# The game measured as a player runs it, on a virtual X display:
#
#   bench/realtime/run.sh [seconds of play]
#
# Builds the release preset (binaries under build/release/bench/realtime/),
# then runs under xvfb-run
#   - fidelity: Start pressed, N seconds of play (60 unless given), the clock,
#     the mage's and the collision ticks counted against the ideal;
#   - startup: ten fresh starts to the title window's first painted frame
#     (STARTUP_RUNS changes the number);
#   - memory: peak resident set at load and with every invader array full;
#   - play cost: what 20 s of play costs the whole machine (the game and the
#     display server), idle in wave 1 and with about 200 invaders on the
#     field, beside floors that do the same work, on X11 and on Wayland
#     (play_cost.sh);
# and prints a summary of the budgets, each marked met or missed. The full
# output of each is kept in build/release/realtime-results/.
#
# The figures depend on what else the machine is doing: note its load
# (printed before and after) and repeat a run before trusting one number.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cd "$root"

seconds=${1:-60}

cmake --preset release
cmake --build --preset release

bin=$root/build/release/bench/realtime
if [[ ! -x $bin/zorvane_realtime_fidelity ]]; then
    echo "the real-time measurements were not built: they need the desktop shell (Qt 6)" \
        "and bench/CMakeLists.txt to add the realtime folder" >&2
    exit 1
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (Debian package xvfb)" >&2; exit 1; }

results=$root/build/release/realtime-results
mkdir -p "$results"
rm -f "$results"/*.txt

# Qt wants a private runtime folder; without one it warns on every start.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime

display() { xvfb-run -a -s "-screen 0 1920x1080x24" "$@"; }

status=0
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

echo "== fidelity ($seconds s of play)"
display "$bin/zorvane_realtime_fidelity" "$seconds" | tee "$results/fidelity.txt" || status=1

echo "== startup"
display "$bin/zorvane_realtime_startup" "${STARTUP_RUNS:-10}" | tee "$results/startup.txt" || status=1

echo "== memory"
display "$bin/zorvane_realtime_memory" | tee "$results/memory.txt" || status=1

echo "== play cost"
BUILD=0 "$here/play_cost.sh" 20 200 || status=1

echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "Budgets:"
for what in fidelity startup memory play_cost; do
    grep -h '^budget:' "$results/$what.txt" | sed "s/^budget:/  $what:/" || echo "  $what: no result"
done
if grep -q MISSED "$results"/*.txt || [[ $status -ne 0 ]]; then
    echo "some budget missed or a measurement failed"
    exit 1
fi
echo "all budgets met"
