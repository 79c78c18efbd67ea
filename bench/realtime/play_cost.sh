#!/usr/bin/env bash
# What real play costs the whole machine, the game beside floors that do the
# same work, on X11 and on Wayland:
#
#   bench/realtime/play_cost.sh [seconds] [invaders] [x11|wayland|both]
#
# Builds the release preset, then on each window system (both unless given)
# runs build/release/bench/realtime/zorvane_realtime_play_cost five times in
# turn, each on a fresh display, for N seconds (20 unless given):
#   - idle: Start pressed, the player idle in wave 1;
#   - idle floor: a bare window woken 40 times a second that repaints a small
#     rectangle 20 times a second;
#   - idle-work floor: a bare window showing as many boxes walking as the
#     castle killers as the idle game showed on average (at least one),
#     repainted as a plain Qt program would;
#   - field: the game with about M invaders on the field (200 unless given);
#   - field floor: a bare window showing M boxes that walk as the castle
#     killers do, repainted as a plain Qt program would.
# X11 is Xvfb with a screen of the battlefield's size, 1608 x 897, and no
# window manager; Wayland is Weston nested in Xvfb as the real-input tests
# start it (tests/xvfb/lib.sh), with an output that holds the window and the
# frame Qt draws round it. Each run counts the game's process and the display
# side over the same interval: Xvfb on X11; Weston, its helper clients and
# the Xvfb it draws into on Wayland. Weston renders in software there, so its
# share says little about a compositor on real hardware; the ratios still
# compare like with like.
#
# The budgets are ratios within one run of this script, so that the
# machine's slower swings cancel: the whole machine at most 1.15 times the
# idle-work floor when idle and 1.2 times the field floor with the invaders
# (the aim: below it), and the game's wake-ups at most the floor's plus 5 %.
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
# Other work on the machine, and a virtual machine's changing speed, still
# disturb the figures: note the load (printed before and after) and repeat
# a run before trusting one.
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cd "$root" || exit 1

seconds=${1:-20}
invaders=${2:-200}
case ${3:-both} in
    x11 | wayland) platforms=$3 ;;
    both) platforms="x11 wayland" ;;
    *) echo "usage: play_cost.sh [seconds] [invaders] [x11|wayland|both]" >&2; exit 2 ;;
esac

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

# run PLATFORM NAME ARGS...: one measurement on a fresh session.
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
    tee -a "$summary" <"$results/play_cost_${platform}_$name.txt"
    [[ $status -eq 0 ]] || note "the $platform $name run ended with status $status"
}

# onField NAME: the rounded mean of invaders a game run showed, at least 1.
onField() {
    awk '/on average;/ { for (i = 1; i < NF; ++i) if ($(i + 1) == "on" && $(i + 2) == "average;") n = $i }
         END { n = int(n + 0.5); print n < 1 ? 1 : n }' "$results/play_cost_$1.txt"
}

# field NAME WORD: a number of a run's result line (game, display, whole, wakeups).
field() {
    awk -v w="$2" '/^result:/ { for (i = 2; i < NF; i += 2) if ($i == w) print $(i + 1) }' \
        "$results/play_cost_$1.txt"
}

# budget PLATFORM CASE FLOOR LIMIT: the whole-machine and wake-up ratios of a
# case to its floor; with LIMIT "-" they are only shown.
budget() {
    local game=$1_$2 floor=$1_$3
    awk -v name="$1 $2 against the $(tr _ ' ' <<<"$3")" -v limit="$4" -v gw="$(field "$game" whole)" -v fw="$(field "$floor" whole)" \
        -v gk="$(field "$game" wakeups)" -v fk="$(field "$floor" wakeups)" 'BEGIN {
        if (gw == "" || fw == "" || fw <= 0 || fk <= 0) { print "budget: " name ": no result"; exit }
        cpu = gw / fw; wakes = gk / fk
        if (limit == "-") {
            printf "for comparison: %s: whole machine %.2f%% against %.2f%%: %.2f times; " \
                "wake-ups %.1f/s against %.1f/s: %.2f times\n", name, gw, fw, cpu, gk, fk, wakes
            exit
        }
        printf "budget: %s: whole machine %.2f%% against the floor'\''s %.2f%%: %.2f times <= %.2f %s%s; " \
            "wake-ups %.1f/s against %.1f/s: %.2f times <= 1.05 %s\n", name, gw, fw, cpu, limit,
            cpu <= limit ? "met" : "MISSED", cpu < 1 ? " (below the floor)" : "", gk, fk, wakes,
            wakes <= 1.05 ? "met" : "MISSED"
    }'
}

summary=$results/play_cost.txt
status=0
note() { echo "$*" | tee -a "$summary"; }
note "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for platform in $platforms; do
    note "== $platform: idle player in wave 1, $seconds s"
    run "$platform" idle "$seconds"
    note "== $platform: idle floor, $seconds s"
    run "$platform" idle_floor --floor "$seconds"
    boxes=$(onField "${platform}_idle")
    note "== $platform: idle-work floor, $boxes boxes, $seconds s"
    run "$platform" idle-work_floor --floor --field "$boxes" "$seconds"
    note "== $platform: about $invaders invaders on the field, $seconds s"
    run "$platform" field --field "$invaders" "$seconds"
    note "== $platform: field floor, $invaders boxes, $seconds s"
    run "$platform" field_floor --floor --field "$invaders" "$seconds"
done
note "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
note
note "Budgets (one run, the cases measured in turn):"
for platform in $platforms; do
    note "$(budget "$platform" idle idle_floor -)"
    for line in "$(budget "$platform" idle idle-work_floor 1.15)" "$(budget "$platform" field field_floor 1.2)"; do
        note "$line"
        [[ $line == *MISSED* || $line == *"no result"* ]] && status=1
    done
done
exit $status
