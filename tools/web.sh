#!/usr/bin/env bash
# Builds the web site into build/web/site and serves it on http://localhost:8080/ (PORT to change
# it; SERVE=0 only builds). The server is tools/web-server.mjs, on Node's own modules.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh web
# emcc's JavaScript optimiser loads Debian's own acorn from there.
export NODE_PATH=/usr/share/nodejs
cmake --preset web >/dev/null
cmake --build --preset web
[ "${SERVE:-1}" = 0 ] && exit 0
exec node tools/web-server.mjs build/web/site "${PORT:-8080}"
