#!/usr/bin/env bash
# Installs the Debian packages of the named groups of scripts/packages.txt that are missing.
# usage: install-deps.sh GROUP... ("all": every group). Quiet when all are there; with NO_DEPS set
# (other than 0) it does nothing. apt-get update runs only when something is missing; sudo only
# when not root.
set -euo pipefail
case ${NO_DEPS:-} in "" | 0) ;; *) exit 0 ;; esac
list=$(cd "$(dirname "$0")" && pwd)/packages.txt
[ $# -gt 0 ] || { echo "usage: $0 GROUP... (groups: see $list)" >&2; exit 2; }

# Every line is "PACKAGE GROUP...": the packages of the asked groups, each once, in file order.
wanted=$(awk -v asked=" $* " '
  /^[[:space:]]*(#|$)/ { next }
  NF < 2 { printf "install-deps: %s:%d: %s names no group\n", FILENAME, FNR, $1 > "/dev/stderr"; bad = 1; next }
  { for (i = 2; i <= NF; i++) { known[$i] = 1; if (asked ~ " (all|" $i ") " && !seen[$1]++) print $1 } }
  END {
    n = split(asked, names, " ")
    for (i = 1; i <= n; i++) if (names[i] != "all" && !(names[i] in known)) {
      printf "install-deps: no group %s in %s\n", names[i], FILENAME > "/dev/stderr"; bad = 1
    }
    exit bad
  }' "$list")

missing=()
for p in $wanted; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "install-deps ($*): installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
# Waits for another apt or dpkg run (another build's install step) instead of failing at once.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  -o DPkg::Lock::Timeout=600 "${missing[@]}"
