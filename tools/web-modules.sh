#!/usr/bin/env bash
# The browser tests' npm packages (tests/web/package-lock.json) in tests/web/node_modules, installed
# again only when the lock has changed since they were.
set -euo pipefail
cd "$(dirname "$0")/../tests/web"
if ! cmp -s package-lock.json node_modules/.letrazul-lock 2>/dev/null; then
  npm ci --no-audit --no-fund --loglevel=error
  cp package-lock.json node_modules/.letrazul-lock
fi
