#!/usr/bin/env bash
# Every benchmark of the game, with a summary of the budgets.
#
#   bench/run_all.sh
#
# Builds the release preset (binaries under build/release/), then runs
#   - the timer ticks (bench/ticks_bench.cpp), 5 repetitions, medians;
#   - painting the battlefield (bench/paint_bench.cpp), when the desktop shell
#     was built, on Qt's offscreen platform;
#   - whole games through zorvane-sim (bench/run_sim_bench.sh);
# and prints a table of the budgets, each marked met or missed. The raw
# results are kept in build/release/bench-results/.
#
# BENCH_ARGS adds options to both Google Benchmark programs, for example
# BENCH_ARGS=--benchmark_min_time=0.1 for a quicker, noisier run.
# The benchmarks are single-threaded; on a busy machine judge the CPU times,
# and run nothing else heavy meanwhile.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
cd "$root"

cmake --preset release
cmake --build --preset release

build=$root/build/release
results=$build/bench-results
mkdir -p "$results"
rm -f "$results"/*.json "$results/sim.tsv"
read -r -a extra <<<"${BENCH_ARGS:-}"
common=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_out_format=json "${extra[@]}")

echo "== timer ticks"
"$build/bench/zorvane_ticks_bench" "${common[@]}" --benchmark_out="$results/ticks.json"

if [[ -x $build/bench/zorvane_paint_bench ]]; then
    echo "== painting"
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
        "$build/bench/zorvane_paint_bench" "${common[@]}" --benchmark_out="$results/paint.json"
else
    echo "== painting: skipped (the desktop shell was not built)"
fi

echo "== whole games"
"$here/run_sim_bench.sh" "$results/sim.tsv"

echo
python3 - "$results" <<'EOF'
import json
import os
import sys

results = sys.argv[1]


def medians(name):
    path = os.path.join(results, name)
    if not os.path.exists(path):
        return {}
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    out = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
            out[b["run_name"]] = (b["cpu_time"] * scale, b["real_time"] * scale)
    return out


ticks = medians("ticks.json")
paint = medians("paint.json")

# The cost of one call of each tick, median CPU time in microseconds.
handlers = ["tmrCollisionDetect", "tmrCharaMovement", "tmrMonsterMovement", "tmrMoveTop", "tmrMoveBot",
            "tmrProjectile", "tmrSpawnTimer", "tmrTimer"]
mixes = ["walking", "parked", "ended"]
sizes = ["10", "1000", "32767"]
print("One call of each tick, median CPU time in microseconds (elements per invader array):")
header = f"{'tick':<20}" + "".join(f"{m + '/' + s:>16}" for m in mixes for s in sizes)
print(header)
for h in handlers:
    row = f"{h:<20}"
    for m in mixes:
        for s in sizes:
            key = next((k for k in ticks if k.startswith(f"tick/{h}/{m}/{s}")), None)
            row += f"{ticks[key][0] * 1e6:>16.3f}" if key else f"{'-':>16}"
    print(row)
print()

budgets = []  # (what, measured CPU s, budget s, wall s, note)
for key, what, budget in [
    ("second/of_play_every_timer_on/1000", "one second of play, 1,000 per array, every timer on", 2e-3),
    ("second/after_the_end/32767", "one second after the end, 32,767 per array, all walking", 10e-3),
]:
    if key in ticks:
        budgets.append((what, ticks[key][0], budget, ticks[key][1], ""))
for key, what in [("paint/at_load", "paint one frame at load"),
                  ("paint/invaders_200", "paint one frame, 200 invaders"),
                  ("paint/invaders_30000", "paint one frame, 30,000 shown, 200 on screen")]:
    if key in paint:
        budgets.append((what, paint[key][0], 2e-3, paint[key][1], ""))
sim = os.path.join(results, "sim.tsv")
if os.path.exists(sim):
    with open(sim, encoding="utf-8") as f:
        for line in f:
            _, what, cpu, budget, wall, rss = line.rstrip("\n").split("\t")
            budgets.append((what, float(cpu), float(budget), float(wall), f"max RSS {int(rss) / 1024:.1f} MiB"))


def show(seconds):
    if seconds < 1e-3:
        return f"{seconds * 1e6:.1f} us"
    if seconds < 1:
        return f"{seconds * 1e3:.3f} ms"
    return f"{seconds:.2f} s"


print("Budgets (CPU time; medians):")
print(f"{'what':<62} {'CPU':>11} {'wall':>11} {'budget':>10}  verdict")
missed = 0
for what, cpu, budget, wall, note in budgets:
    ok = cpu <= budget
    missed += not ok
    verdict = f"{'met' if ok else 'MISSED'} ({100 * cpu / budget:.0f}% of budget)"
    print(f"{what:<62} {show(cpu):>11} {show(wall):>11} {show(budget):>10}  {verdict}  {note}".rstrip())
print()
print("all budgets met" if missed == 0 else f"{missed} budget(s) missed")
EOF
