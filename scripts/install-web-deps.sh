#!/usr/bin/env bash
# Installs the browser checks' npm packages (tests/web/package-lock.json) when they are missing
# or older than the lock file.
set -euo pipefail
web=$(cd "$(dirname "$0")/../tests/web" && pwd)
if [ -d "$web/node_modules" ] && [ "$web/node_modules/.package-lock.json" -nt "$web/package-lock.json" ]; then
  exit 0
fi
# npm itself is a Debian package, left alone under NO_DEPS like those of install-deps.sh.
if ! command -v npm > /dev/null && [ "${NO_DEPS:-0}" = 0 ]; then
  echo "install-web-deps: installing npm"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends npm
fi
cd "$web"
npm ci --no-audit --no-fund
