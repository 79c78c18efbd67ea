#!/usr/bin/env bash
# Whole games through zorvane-sim: a scripted player for 1 hour and for 24
# hours of virtual time, each timed as a whole process (wall clock, user and
# system CPU, peak resident memory).
#
#   bench/run_sim_bench.sh [SUMMARY_FILE]
#
# Uses build/release/tools/sim/zorvane-sim, building it with the release
# preset when it is missing (or the binary named by ZORVANE_SIM). Runs the
# 1-hour game SIM_REPS_1H times (default 3) and the 24-hour game SIM_REPS_24H
# times (default 1) and reports the median of each. A budget is judged on CPU
# time (user + system), which other work on the machine disturbs less than
# the wall clock. With SUMMARY_FILE, one tab-separated line per game is
# appended to it for bench/run_all.sh.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
summary=${1:-}
reps_1h=${SIM_REPS_1H:-3}
reps_24h=${SIM_REPS_24H:-1}

sim=${ZORVANE_SIM:-$root/build/release/tools/sim/zorvane-sim}
if [[ ! -x $sim ]]; then
    (cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target zorvane-sim)
fi
[[ -x /usr/bin/time ]] || { echo "run_sim_bench: /usr/bin/time is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name hours budget_seconds repetitions
games=("1h 1 1 $reps_1h" "24h 24 12 $reps_24h")

printf '%-5s %10s %9s %9s %9s %9s %10s %8s  %s\n' game script_MiB wall_s user_s sys_s cpu_s maxRSS_MiB budget_s verdict
for game in "${games[@]}"; do
    read -r name hours budget reps <<<"$game"
    script=$work/player-$name.txt
    python3 "$here/make_player_script.py" "$hours" -o "$script"
    size=$(stat -c %s "$script")
    rows=$work/times-$name.txt
    : >"$rows"
    for ((r = 0; r < reps; ++r)); do
        /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$sim" "$script" >"$work/out.jsonl"
        cat "$work/time.txt" >>"$rows"
        # The game must have run to the end of its script.
        python3 - "$work/out.jsonl" "$hours" <<'EOF'
import json, sys
last = None
with open(sys.argv[1], encoding="utf-8") as f:
    for line in f:
        last = line
state = json.loads(last)
want = int(float(sys.argv[2]) * 3600 * 1000)
if state.get("t") != want:
    sys.exit(f"run_sim_bench: the game stopped at t={state.get('t')}, not {want}")
EOF
    done
    # The repetition with the median CPU time.
    read -r wall user sys rss < <(awk '{print $2 + $3, $0}' "$rows" | sort -n | awk -v n="$reps" 'NR == int((n + 1) / 2) {print $2, $3, $4, $5}')
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN {printf "%.2f", u + s}')
    verdict=$(awk -v c="$cpu" -v b="$budget" 'BEGIN {if (c <= b) printf "met (%.0f%% of budget)", 100 * c / b; else printf "MISSED (%.0f%% of budget)", 100 * c / b}')
    printf '%-5s %10.1f %9s %9s %9s %9s %10.1f %8s  %s\n' "$name" "$(awk -v s="$size" 'BEGIN {print s / 1048576}')" \
        "$wall" "$user" "$sys" "$cpu" "$(awk -v k="$rss" 'BEGIN {print k / 1024}')" "$budget" "$verdict"
    if [[ -n $summary ]]; then
        printf 'sim\t%s hours of play (zorvane-sim, whole process, median of %s)\t%s\t%s\t%s\t%s\n' \
            "$hours" "$reps" "$cpu" "$budget" "$wall" "$rss" >>"$summary"
    fi
done
