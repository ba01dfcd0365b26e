#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in ./build-fuzz and runs
# each for a bounded time (seconds, 15 unless given), starting from its seed
# corpus in tests/fuzz/corpus: the fuzz label of that build's tests, one
# target after another. Fails on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."
export LOTSCOPE_FUZZ_SECONDS=${1:-15}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DLOTSCOPE_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)"
ctest --test-dir build-fuzz -L fuzz --output-on-failure --stop-on-failure
