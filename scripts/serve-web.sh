#!/usr/bin/env bash
# Builds the game's page and serves it on this machine:
#
#   scripts/serve-web.sh [--port N] [--host H]
#
# Builds build/web/site with Debian's emscripten (the `web` preset), then
# serves it with tools/web/serve.mjs (port 8080 unless given) and prints the
# address to open in a browser. Ctrl+C stops it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset web >/dev/null
cmake --build --preset web --target zorvane_site >/dev/null
exec node tools/web/serve.mjs build/web/site "$@"
