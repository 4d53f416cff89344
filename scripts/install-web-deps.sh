#!/usr/bin/env bash
# Installs the browser checks' npm packages (tests/web/package-lock.json) when they are missing
# or older than the lock file.
set -euo pipefail
web=$(cd "$(dirname "$0")/../tests/web" && pwd)
if [ -d "$web/node_modules" ] && [ "$web/node_modules/.package-lock.json" -nt "$web/package-lock.json" ]; then
  exit 0
fi
if ! command -v npm > /dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm
fi
cd "$web"
npm ci --no-audit --no-fund
