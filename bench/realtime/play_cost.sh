#!/usr/bin/env bash
# What real play costs the whole machine, the game beside floors that do the
# same work, on X11 and on Wayland:
#
#   bench/realtime/play_cost.sh [seconds] [invaders] [x11|wayland|both] [rounds]
#
# Builds the release preset, then on each window system (both unless given)
# runs build/release/bench/realtime/zorvane_realtime_play_cost for N seconds
# (20 unless given), each time a case of the game and its floor side by side,
# each on a display of its own, so that both see the machine at the same
# speed; three such pairs make a round, and there are R rounds (3 unless
# given):
#   - idle, the game with Start pressed and the player idle in wave 1,
#     beside the idle floor, a bare window woken 40 times a second that
#     repaints a small rectangle 20 times a second;
#   - idle again, beside the idle-work floor, a bare window showing as many
#     boxes walking as the castle killers as the first idle game showed on
#     average (at least one), repainted as a plain Qt program would;
#   - field, the game with about M invaders on the field (200 unless given),
#     beside the field floor, a bare window showing M boxes that walk as the
#     castle killers do, repainted as a plain Qt program would;
#   - zoomed field, the same game zoomed to 3/4 (as on a small screen),
#     beside the same game at full size;
#   - zoomed idle, the idle game zoomed to 3/4 beside the idle game at full
#     size.
# ZOOMED=1 runs the two zoomed pairs alone.
# X11 is Xvfb with a screen of the battlefield's size, 1608 x 897, and no
# window manager; Wayland is Weston nested in Xvfb as the real-input tests
# start it (tests/xvfb/lib.sh), with an output that holds the window and the
# frame Qt draws round it. Each run counts the game's process and the display
# side over the same interval: Xvfb on X11; Weston, its helper clients and
# the Xvfb it draws into on Wayland. Weston renders in software there, so its
# share says little about a compositor on real hardware; the ratios still
# compare like with like.
#
# The budgets are ratios of a case to the floor measured beside it, so that
# the machine's swings in speed, which reach two to five times from one
# minute to the next on a virtual machine, cancel; each budget is the median
# of the rounds' ratios, so that one round does not decide: the whole
# machine at most 1.15 times the
# idle-work floor when idle and 1.2 times the field floor with the invaders
# (the aim: below it), the zoomed game at most 1.2 times the full-size one,
# and the game's wake-ups at most the floor's plus 5 %.
# The idle game is read against the bare idle floor as well, unjudged: the
# game shows five times the floor's pixels there, so that ratio says what the
# walking invaders cost, not how well they are shown.
# Prints the reports and the budgets, each met or MISSED, and ends with
# status 1 if one is missed or has no result; the output is kept in
# build/release/realtime-results/play_cost*.txt. BUILD=0 skips the build (to
# measure a build made elsewhere: BIN=/path/to/zorvane_realtime_play_cost).
# Qt's own QT_XCB_NO_MITSHM=1 sends every X11 frame, the game's and the
# floors', through the X connection instead of shared memory.
#
# Other work on the machine still disturbs the figures: note the load
# (printed before and after) and repeat a run before trusting one.
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cd "$root" || exit 1

usage() { echo "usage: play_cost.sh [seconds] [invaders] [x11|wayland|both] [rounds]" >&2; exit 2; }
seconds=${1:-20}
invaders=${2:-200}
case ${3:-both} in
    x11 | wayland) platforms=$3 ;;
    both) platforms="x11 wayland" ;;
    *) usage ;;
esac
rounds=${4:-3}
[[ $rounds =~ ^[1-9][0-9]*$ ]] || usage

if [[ ${BUILD:-1} != 0 ]]; then
    cmake --preset release >/dev/null && cmake --build --preset release || exit 1
fi
bin=${BIN:-$root/build/release/bench/realtime/zorvane_realtime_play_cost}
[[ -x $bin ]] || { echo "not built: $bin (it needs the desktop shell, Qt 6)" >&2; exit 1; }

# The real-input tests' start-up of Xvfb and Weston (and its checks for the tools).
TEST_NAME=play_cost
PLATFORM=$([[ $platforms == *wayland* ]] && echo wayland || echo x11)
. "$root/tests/xvfb/lib.sh"

results=$root/build/release/realtime-results
mkdir -p "$results"
rm -f "$results"/play_cost*.txt

# run PLATFORM NAME ARGS...: one measurement on a fresh session of its own.
run() {
    local platform=$1 name=$2 qpa=xcb width=1608 height=897
    shift 2
    PLATFORM=$platform
    unset WAYLAND_DISPLAY
    export XDG_RUNTIME_DIR=$WORK
    # Qt draws a frame round the window on Weston (30 pixels of title bar).
    [[ $platform == wayland ]] && qpa=wayland width=1640 height=940
    start_session "$width" "$height"
    local servers=() pid
    for pid in "${PIDS[@]}" $([[ $platform == wayland ]] && pgrep -P "${PIDS[1]}"); do
        servers+=(--server "$pid")
    done
    QT_QPA_PLATFORM=$qpa "$bin" "${servers[@]}" "$@" >"$results/play_cost_${platform}_$name.txt" 2>&1
    local status=$?
    stop_all
    [[ $status -eq 0 ]] || echo "the $platform $name run ended with status $status" >>"$results/play_cost_${platform}_$name.txt"
}

# side PLATFORM TITLE NAME "ARGS" FLOOR "FLOOR ARGS": a case and its floor
# side by side, each in a subshell with a work folder and a session of its own.
side() {
    local platform=$1 title=$2 names=("$3" "$5") args=("$4" "$6") i
    note "== round $round, $platform: $title, $seconds s"
    for i in 0 1; do
        (
            WORK=$(mktemp -d)
            trap 'stop_all; rm -rf "$WORK"' EXIT
            # shellcheck disable=SC2086 # the arguments are words
            run "$platform" "${names[i]}" ${args[i]} "$seconds"
        ) &
    done
    wait
    for i in 0 1; do tee -a "$summary" <"$results/play_cost_${platform}_${names[i]}.txt"; done
}

# onField NAME: the rounded mean of invaders a game run showed, at least 1.
onField() {
    awk '/on average;/ { for (i = 1; i < NF; ++i) if ($(i + 1) == "on" && $(i + 2) == "average;") n = $i }
         END { n = int(n + 0.5); print n < 1 ? 1 : n }' "$results/play_cost_$1.txt"
}

# field NAME WORD: a number of a run's result line (game, display, whole, wakeups).
field() {
    awk -v w="$2" '/^result:/ { for (i = 2; i < NF; i += 2) if ($i == w) print $(i + 1) }' \
        "$results/play_cost_$1.txt" 2>/dev/null
}

# budget PLATFORM CASE FLOOR LIMIT: the whole-machine and wake-up ratios of a
# case to its floor, round by round, and their medians; with LIMIT "-" they
# are only shown.
budget() {
    local pairs="" r
    for ((r = 1; r <= rounds; ++r)); do
        pairs+="$(field "$1_$2_$r" whole) $(field "$1_$3_$r" whole) "
        pairs+="$(field "$1_$2_$r" wakeups) $(field "$1_$3_$r" wakeups);"
    done
    awk -v name="$1 $2 against the $(tr _ ' ' <<<"$3")" -v limit="$4" -v pairs="$pairs" '
    function median(a, n,    i, j, t) {
        for (i = 2; i <= n; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    BEGIN {
        n = split(pairs, round, ";") - 1
        for (i = 1; i <= n; ++i) {
            if (split(round[i], f, " ") != 4 || f[2] <= 0 || f[4] <= 0) { print "budget: " name ": no result"; exit }
            cpu[i] = f[1] / f[2]; wakes[i] = f[3] / f[4]
            shown = shown sprintf("%s%.2f/%.2f", i > 1 ? " " : "", cpu[i], wakes[i])
        }
        c = median(cpu, n); w = median(wakes, n)
        if (limit == "-") {
            printf "for comparison: %s: whole machine %.2f times, wake-ups %.2f times (median; rounds %s)\n",
                name, c, w, shown
            exit
        }
        printf "budget: %s: whole machine %.2f times <= %.2f %s%s; wake-ups %.2f times <= 1.05 %s " \
            "(median; rounds, whole machine/wake-ups: %s)\n", name, c, limit,
            c <= limit ? "met" : "MISSED", c < 1 ? " (below what it is measured against)" : "", w, w <= 1.05 ? "met" : "MISSED", shown
    }'
}

summary=$results/play_cost.txt
status=0
note() { echo "$*" | tee -a "$summary"; }
note "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((round = 1; round <= rounds; ++round)); do
    for platform in $platforms; do
        if [[ ${ZOOMED:-0} != 1 ]]; then
            side "$platform" "the idle player in wave 1 beside the idle floor" \
                "idle_$round" "" "idle_floor_$round" --floor
            boxes=$(onField "${platform}_idle_$round")
            side "$platform" "the idle player again beside the idle-work floor, $boxes boxes" \
                "idle-again_$round" "" "idle-work_floor_$round" "--floor --field $boxes"
            side "$platform" "about $invaders invaders on the field beside the field floor" \
                "field_$round" "--field $invaders" "field_floor_$round" "--floor --field $invaders"
        fi
        side "$platform" "about $invaders invaders on the field, zoomed to 3/4 beside full size" \
            "field-zoomed_$round" "--field $invaders --zoom 0.75" "field-full_$round" "--field $invaders"
        side "$platform" "the idle player in wave 1, zoomed to 3/4 beside full size" \
            "idle-zoomed_$round" "--zoom 0.75" "idle-full_$round" ""
    done
done
note "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
note
note "Budgets (one run of $rounds rounds, each case beside its floor):"
for platform in $platforms; do
    lines=()
    if [[ ${ZOOMED:-0} != 1 ]]; then
        note "$(budget "$platform" idle idle_floor -)"
        lines+=("$(budget "$platform" idle-again idle-work_floor 1.15)" "$(budget "$platform" field field_floor 1.2)")
    fi
    lines+=("$(budget "$platform" field-zoomed field-full 1.2)" "$(budget "$platform" idle-zoomed idle-full 1.2)")
    for line in "${lines[@]}"; do
        note "$line"
        [[ $line == *MISSED* || $line == *"no result"* ]] && status=1
    done
done
exit $status
