#!/usr/bin/env bash
# Fails when a C++ source differs from what .clang-format makes of it. The
# sources are kept so that the clang-format of Debian 12 (14) and that of
# Debian 13 (19) agree on them; another version may format a few places
# differently, so with one the check says so and passes.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(clang-format --version | sed -n 's/.*version \([0-9]*\)\..*/\1/p')
case "$version" in
14 | 19) ;;
*)
    echo "check-format: clang-format ${version:-of unknown version} is installed; the sources are kept formatted" \
        "for versions 14 and 19 (Debian 12 and 13), so the format was not checked" >&2
    exit 0
    ;;
esac
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
