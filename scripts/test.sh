#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the unit,
# widget and end-to-end tests under CTest, then every fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600
bash scripts/fuzz.sh "${LOTSCOPE_FUZZ_SECONDS:-15}"
