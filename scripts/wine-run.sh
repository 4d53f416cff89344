#!/usr/bin/env bash
# Runs a Windows console program under wine64 in the prefix $WINE_WORK/prefix, as if it were a
# Linux one: same arguments, its exit code, and its output with Unix line ends.
# usage: WINE_WORK=DIR wine-run.sh PROGRAM.exe ARGS...
set -euo pipefail
# shellcheck source=scripts/wine-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-lib.sh"
wine_prefix "$(realpath "${WINE_WORK:-build-wine}")/prefix"
program=$1
shift
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
status=0
"$WINE64" "$program" "$@" 2>"$errors" | tr -d '\r' || status=$?
tr -d '\r' <"$errors" >&2
exit "$status"
