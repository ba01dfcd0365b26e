#!/usr/bin/env bash
# Runs one libFuzzer target for LOTSCOPE_FUZZ_SECONDS (15 unless set),
# starting from its seed corpus. Fails on a finding, with the end of the log
# and the reproducer.
set -euo pipefail
fuzzer=${1:?usage: run-fuzzer.sh FUZZER SEEDS}
seeds=${2:?usage: run-fuzzer.sh FUZZER SEEDS}
seconds=${LOTSCOPE_FUZZ_SECONDS:-15}
name=$(basename "$fuzzer")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/$name"
dirs=("$work/$name")
[ -d "$seeds" ] && dirs+=("$seeds")
echo "fuzz: $name for ${seconds}s"
if ! "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=8192 \
     -artifact_prefix="$work/$name-" "${dirs[@]}" >"$work/$name.log" 2>&1; then
  echo "fuzz: $name FAILED"; tail -n 40 "$work/$name.log"
  for a in "$work/$name"-*; do [ -e "$a" ] && { echo "reproducer:"; xxd "$a" | head -n 20; }; done
  exit 1
fi
grep -E '^#[0-9]+.*DONE' "$work/$name.log" | tail -n 1 || true
