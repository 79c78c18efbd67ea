#!/usr/bin/env bash
# Builds the Debian package twice from the same source, the way a packager
# does (configure, cmake --build, cpack -G DEB), and checks that the two
# packages are the same byte for byte.
#
#   scripts/check-reproducible.sh [--keep]
#
# The source is the committed HEAD, cloned afresh for each build, with the
# working tree's changes and untracked files (not the ignored ones) copied
# over: what would be committed next. The two builds differ in what must not
# matter:
#
#   source folder       <tmp>/a                  <tmp>/second-source-folder
#   build folder        a/build                  <tmp>/out-of-tree-build (outside the source)
#   files' times        the time of the clone    2001-02-03
#   build time          one after the other
#   time zone           UTC                      UTC+14
#   locale              C                        another one (C.UTF-8 when none is installed)
#   umask               022                      077
#   HOME                two different folders
#
# and SOURCE_DATE_EPOCH is unset in both. Prints both packages' sha256 and,
# when they differ, what differs. --keep keeps the folders (in ${TMPDIR:-/tmp})
# and prints where they are.
# Exit status: 0 the same, 1 different, 2 a build failed.
set -euo pipefail

keep=0
case "${1:-}" in
--keep) keep=1 ;;
"") ;;
*)
    sed -n '2,25s/^# \{0,1\}//p' "$0" >&2
    exit 64
    ;;
esac
top=$(git -C "$(dirname "$0")" rev-parse --show-toplevel 2>/dev/null) || {
    echo "SKIPPED: the source is not a git checkout; the check clones it"
    exit 0
}
start=$SECONDS
work=$(mktemp -d "${TMPDIR:-/tmp}/zorvane-repro.XXXXXX")
if [ "$keep" = 1 ]; then
    trap 'echo "check-reproducible: the folders are kept in $work"' EXIT
else
    trap 'rm -rf "$work"' EXIT
fi

# One snapshot for both builds, however the repository moves meanwhile.
git -C "$top" bundle create "$work/source.bundle" HEAD 2>/dev/null
head=$(git -C "$top" bundle list-heads "$work/source.bundle" HEAD | cut -d' ' -f1)
git -C "$top" -c diff.noprefix=false diff --no-ext-diff --no-color --binary "$head" >"$work/changes.patch"
(cd "$top" && git ls-files -z -o --exclude-standard | tar --null -T - -cf "$work/untracked.tar")
changes=$(git -C "$top" diff --stat "$head" | tail -1)
[ -z "$changes" ] || changes=", with the working tree's changes:$changes"
untracked=$(tar -tf "$work/untracked.tar" | wc -l)
[ "$untracked" -eq 0 ] || changes="$changes, and $untracked untracked files"
echo "check-reproducible: HEAD ${head:0:7}$changes"
other_locale=$(locale -a 2>/dev/null | grep -viE '^(C|POSIX)($|\.)' | grep -iE 'utf-?8$' | head -1 || true)
other_locale=${other_locale:-C.UTF-8}

# build NAME SOURCE BUILD TZ LOCALE UMASK: clones the source into SOURCE and
# makes the package in BUILD, leaving it as $work/NAME.deb.
build() {
    local name=$1 src=$2 bld=$3 stamp=
    [ "$name" = second ] && stamp='2001-02-03 04:05:06'
    mkdir -p "$work/home-$name"
    if ! (
        umask "$6"
        export TZ=$4 LC_ALL=$5 LANG=$5 HOME=$work/home-$name
        unset SOURCE_DATE_EPOCH QT_RCC_SOURCE_DATE_OVERRIDE
        git -c advice.detachedHead=false clone --quiet "$work/source.bundle" "$src" &&
            { [ ! -s "$work/changes.patch" ] || git -C "$src" apply --binary "$work/changes.patch"; } &&
            tar -xf "$work/untracked.tar" -C "$src" &&
            { [ -z "$stamp" ] || find "$src" -exec touch -h -d "$stamp" {} +; } &&
            cd "$src" &&
            cmake -S . -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
                -DZORVANE_BUILD_TESTS=OFF -DZORVANE_BUILD_BENCHMARKS=OFF &&
            cmake --build "$bld" &&
            cd "$bld" &&
            cpack -G DEB
    ) >"$work/$name.log" 2>&1; then
        tail -n 40 "$work/$name.log"
        echo "check-reproducible: the $name build failed (log above)"
        exit 2
    fi
    cp "$bld"/zorvane_*.deb "$work/$name.deb"
}

echo "check-reproducible: first build in a/build (TZ=UTC0, LC_ALL=C, umask 022)"
build first "$work/a" "$work/a/build" UTC0 C 022
echo "check-reproducible: second build in out-of-tree-build (sources dated 2001, TZ=UTC+14, LC_ALL=$other_locale, umask 077)"
build second "$work/second-source-folder" "$work/out-of-tree-build" '<+14>-14' "$other_locale" 077

# What a difference is made of: the ar members' headers, the listings of the
# two tar archives (modes, owners, times, order), and the files' contents.
explain() {
    local d m
    for d in first second; do
        mkdir -p "$work/x/$d/control" "$work/x/$d/data"
        (cd "$work/x/$d" && ar x "$work/$d.deb" && tar -xf control.tar.* -C control && tar -xf data.tar.* -C data)
    done
    echo "what differs (first build <, second build >):"
    diff <(TZ=UTC0 ar tv "$work/first.deb") <(TZ=UTC0 ar tv "$work/second.deb") | sed 's/^/  ar member: /' || true
    for m in control data; do
        diff <(TZ=UTC0 tar -tvf "$work"/x/first/$m.tar.* --full-time) \
            <(TZ=UTC0 tar -tvf "$work"/x/second/$m.tar.* --full-time) | sed "s/^/  $m.tar: /" || true
    done
    diff -rq "$work/x/first/control" "$work/x/second/control" | sed 's/^/  /' || true
    (cd "$work/x/first/data" && find . -type f | sort) | while read -r f; do
        cmp -s "$work/x/first/data/$f" "$work/x/second/data/$f" ||
            echo "  $f: $(cmp -l "$work/x/first/data/$f" "$work/x/second/data/$f" 2>/dev/null | wc -l) bytes differ"
    done
    if command -v diffoscope >/dev/null; then
        echo "  (diffoscope shows it in detail: rerun with --keep and compare the two .deb files)"
    fi
}

sums=$(cd "$work" && sha256sum first.deb second.deb)
echo "$sums" | sed 's/^/check-reproducible: /'
status=0
if [ "$(echo "$sums" | cut -d' ' -f1 | uniq | wc -l)" -ne 1 ]; then
    echo "check-reproducible: the two packages DIFFER"
    explain
    status=1
fi
mkdir -p "$work/files"
dpkg-deb -x "$work/second.deb" "$work/files"
if grep -rlaF -e "$work" -e second-source-folder -e out-of-tree-build "$work/files"; then
    echo "check-reproducible: the files above name a build folder"
    status=1
fi
[ "$status" -eq 0 ] && echo "check-reproducible: the same package twice ($((SECONDS - start)) s)"
exit "$status"
