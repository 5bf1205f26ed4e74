#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for FUZZ_SECONDS (default 60).
# Any crash, leak, sanitizer report or timeout fails the run; the input that
# caused it is left in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}

CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -DZELLIB_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build/fuzz -j "$(nproc)"

mkdir -p build/fuzz/findings
for target in convert_file command_line library encoder; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  seeds=(fuzz/seeds/"$target")
  if [[ $target == convert_file ]]; then
    seeds+=(tests/data/bmpsuite/g tests/data/bmpsuite/q tests/data/bmpsuite/b)
  fi
  echo "== fuzzing $target for $seconds s"
  build/fuzz/${target}_fuzzer "$corpus" "${seeds[@]}" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/fuzz/findings/"$target"- \
    2> build/fuzz/"$target".log || { tail -n 60 build/fuzz/"$target".log; exit 1; }
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' build/fuzz/"$target".log
done
