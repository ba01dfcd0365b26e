#!/usr/bin/env bash
# scripts/run.sh without a display stops at once with the README's command,
# before it installs or builds anything (stand-ins record any such call).
set -euo pipefail
w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT
for t in cmake ninja dpkg-query apt-get sudo; do
  printf '#!/bin/sh\necho "%s $*" >> %s/calls\n' "$t" "$w" > "$w/$t" && chmod +x "$w/$t"
done
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH="$w:$PATH" bash "$1" > "$w/out" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -qF 'xvfb-run -a ./scripts/run.sh' "$w/out" && [ ! -e "$w/calls" ] ||
  { echo "run.sh ended with $status: $(cat "$w/out" "$w/calls" 2>/dev/null)"; exit 1; }
echo "run.sh without a display test passed"
