#!/usr/bin/env bash
# Installs what is missing, builds, and starts Lotscope with its data
# directory ($XDG_DATA_HOME/lotscope, default ~/.local/share/lotscope).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec build/src/app/lotscope-launcher "$@"
