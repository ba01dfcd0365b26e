#!/usr/bin/env bash
# scripts/install-deps.sh run twice against stand-ins for dpkg, apt-get and
# sudo: the first run installs what is missing, the second says nothing and
# calls nothing. Then against this machine's own dpkg, where the suite's
# packages are all present: no apt-get, no output.
set -euo pipefail
script=${1:?usage: install-deps-test.sh INSTALL-DEPS}
w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT
fail() { echo "install-deps test: $*"; exit 1; }
mkdir "$w/fake" "$w/real"
printf '#!/bin/sh\necho "$(basename "$0") $*" >> %s/calls\n[ "$1" = install ] && printf "%%s\\n" "$@" >> %s/installed\n[ "$0" = "${0%%sudo}" ] || exec "$@"\n' "$w" "$w" > "$w/real/apt-get"
cp "$w/real/apt-get" "$w/real/sudo"
printf '#!/bin/sh\nfor p; do grep -qxF -- "$p" %s/installed && echo "$p install ok installed"; done; exit 0\n' "$w" > "$w/fake/dpkg-query"
cp "$w/real/apt-get" "$w/real/sudo" "$w/fake/"
chmod +x "$w"/*/*
: > "$w/installed"
run() { : > "$w/calls"; PATH=$1:$PATH bash "$script" > "$w/out" 2>&1 || fail "failed: $(cat "$w/out")"; }
run "$w/fake"
grep -q 'installing ' "$w/out" && grep -q '^apt-get install' "$w/calls" || fail "the first run installed nothing"
for dpkg in fake real; do
  run "$w/$dpkg"
  [ ! -s "$w/out" ] && [ ! -s "$w/calls" ] || fail "a run with everything present ($dpkg dpkg): $(cat "$w/out" "$w/calls")"
done
echo "install-deps test passed"
