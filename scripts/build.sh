#!/usr/bin/env bash
# Configures and builds Lotscope in ./build (Ninja, RelWithDebInfo): the
# targets named as arguments, or everything (tests and benchmarks included).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" ${1:+--target "$@"}
