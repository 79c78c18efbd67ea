#!/bin/sh
# Builds the libFuzzer targets (the `fuzz` preset, clang) and runs each of them
# for a bounded time, one process at a time.
#
#   scripts/fuzz.sh --smoke          about 30 s per target (what CI runs)
#   scripts/fuzz.sh --minutes N      N minutes per target
#   scripts/fuzz.sh --build-dir DIR  build in DIR instead of build/fuzz
#   scripts/fuzz.sh --target NAME    only one target: script or events
#   scripts/fuzz.sh --merge          afterwards, merge what was found into the
#                                    committed corpus, minimised (a campaign:
#                                    --minutes 60 --merge, one process per target)
#
# Without --merge the committed seeds in fuzz/corpus/ are read, never written:
# new inputs go to a working corpus in the build folder, crashes to its
# artifacts/ folder.
# Exits non-zero when a target crashes, breaks a rule, times out or runs out
# of memory, and zero otherwise.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=30
build=""
targets="script events"
merge=0

usage() {
    sed -n '2,17s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case "$1" in
    --smoke) seconds=30 ;;
    --minutes)
        [ $# -ge 2 ] || usage
        case "$2" in '' | *[!0-9]*) usage ;; esac
        seconds=$(($2 * 60))
        shift
        ;;
    --build-dir)
        [ $# -ge 2 ] || usage
        build=$2
        shift
        ;;
    --target)
        [ $# -ge 2 ] || usage
        case "$2" in script | events) targets=$2 ;; *) usage ;; esac
        shift
        ;;
    --merge) merge=1 ;;
    -h | --help) usage ;;
    *) usage ;;
    esac
    shift
done
[ "$seconds" -gt 0 ] || usage

cd "$root"
if [ -z "$build" ]; then
    cmake --preset fuzz
    cmake --build --preset fuzz
    build="$root/build/fuzz"
else
    cmake --preset fuzz -B "$build"
    cmake --build "$build"
fi

status=0
for target in $targets; do
    binary="$build/fuzz/${target}_fuzz"
    work="$build/fuzz-work/$target"
    mkdir -p "$work/corpus" "$work/artifacts"
    set -- -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/"
    [ "$target" = script ] && set -- "$@" -dict="$root/fuzz/script.dict"
    echo "== $target: $seconds s" >&2
    if ! "$binary" "$@" "$work/corpus" "$root/fuzz/corpus/$target"; then
        echo "== $target: FAILED; reproduce with $binary $work/artifacts/<file>" >&2
        status=1
    fi
    if [ "$merge" = 1 ] && [ "$status" = 0 ]; then
        # Adds to the committed seeds only the fewest found inputs that cover
        # something they do not.
        "$binary" -merge=1 "$root/fuzz/corpus/$target" "$work/corpus" >&2
        echo "== $target: corpus merged, $(ls "$root/fuzz/corpus/$target" | wc -l) inputs" >&2
    fi
done
exit $status
