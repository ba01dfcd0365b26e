#!/usr/bin/env bash
# scripts/run.sh without a display stops at once with the README's command,
# before it installs or builds anything (stand-ins record any such call).
set -euo pipefail
script=${1:?usage: run-without-display-test.sh RUN-SH}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for t in cmake ninja dpkg-query apt-get sudo; do
  printf '#!/bin/sh\necho "%s $*" >> "%s/calls"\n' "$t" "$work" > "$work/bin/$t"
  chmod +x "$work/bin/$t"
done
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH="$work/bin:$PATH" bash "$script" > "$work/out" 2>&1 || status=$?
[ "$status" -eq 1 ] || { echo "run.sh ended with $status: $(cat "$work/out")"; exit 1; }
grep -qF 'xvfb-run -a ./scripts/run.sh' "$work/out" || { echo "no command named: $(cat "$work/out")"; exit 1; }
[ ! -e "$work/calls" ] || { echo "run.sh went on to: $(cat "$work/calls")"; exit 1; }
echo "run.sh without a display test passed"
