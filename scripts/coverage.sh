#!/bin/sh
# Measures line and branch coverage under the whole test suite (the virtual
# display tests included) and the fuzz corpus replayed once: builds the
# `coverage` preset (gcc --coverage), runs its tests and reports, with gcovr,
# the core (the rules and their model of the window system), the simulator
# and the Qt shell apart, each with the lines its files leave uncovered.
# Branches that only throw and branches no code sits on are not counted.
#
#   scripts/coverage.sh
#
# Exits non-zero when a test fails (the figures are still reported).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/coverage"
case "${1-}" in
'') ;;
*)
    sed -n '2,11s/^# \{0,1\}//p' "$0" >&2
    exit 2
    ;;
esac
command -v gcovr >/dev/null || {
    echo "coverage: gcovr is not installed (scripts/install-deps.sh)" >&2
    exit 1
}

cd "$root"
cmake --preset coverage >/dev/null
cmake --build --preset coverage
find "$build" -name '*.gcda' -delete
status=0
ctest --preset coverage -j2 || status=$?

gcovr --root "$root" --object-directory "$build" -j 2 \
    --exclude-throw-branches --exclude-unreachable-branches \
    --filter src/ --filter tools/sim/ --json "$build/coverage.json"

report() {  # report NAME FILTER...: the summary and the uncovered lines of a part
    name=$1
    shift
    echo
    echo "== $name"
    gcovr --root "$root" --add-tracefile "$build/coverage.json" "$@" --print-summary |
        awk '/^-+$/ { rule++ } rule < 2 || /%/ && !/100%/ || !/^src|^tools/'
}
report "core" --filter 'src/(ui|title|battlefield|hero|invaders|combat)/' --filter 'src/program\.'
report "simulator" --filter 'tools/sim/'
report "shell" --filter 'src/app/'
exit $status
