#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in ./build-fuzz and runs
# each for a bounded time, starting from its seed corpus in tests/fuzz/corpus.
# Fails on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DLOTSCOPE_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
count=0
for fuzzer in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  mkdir -p "$work/$name"
  seeds=tests/fuzz/corpus/$name
  echo "fuzz: $name for ${seconds}s"
  dirs=("$work/$name")
  [ -d "$seeds" ] && dirs+=("$seeds")
  if ! "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=8192 \
       -artifact_prefix="$work/$name-" "${dirs[@]}" >"$work/$name.log" 2>&1; then
    echo "fuzz: $name FAILED"; tail -n 40 "$work/$name.log"
    for a in "$work/$name"-*; do [ -e "$a" ] && { echo "reproducer:"; xxd "$a" | head -n 20; }; done
    exit 1
  fi
  grep -E '^#[0-9]+.*DONE' "$work/$name.log" | tail -n 1 || true
  count=$((count + 1))
done
echo "fuzz: $count passed, 0 failed"
