#!/usr/bin/env bash
# Starts Lotscope with its data directory ($XDG_DATA_HOME/lotscope, default
# ~/.local/share/lotscope). First installs what is missing and builds the
# program alone (not the tests and benchmarks: ./scripts/test.sh builds those).
set -euo pipefail
cd "$(dirname "$0")/.."

# Nothing is installed or built for a window that cannot open.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display available (DISPLAY and WAYLAND_DISPLAY are unset); on a machine without a screen use: xvfb-run -a ./scripts/run.sh" >&2
  exit 1
fi

bash scripts/install-deps.sh
if [ ! -x build/src/app/lotscope ]; then
  echo "run.sh: building Lotscope for the first time; this takes about 3 minutes on two cores (later starts build only what changed)"
fi
bash scripts/build.sh lotscope
exec build/src/app/lotscope-launcher "$@"
