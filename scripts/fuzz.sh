#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# from its seed corpus. A longer run: scripts/fuzz.sh 600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVULTAR_FUZZ=ON -DVULTAR_WERROR=ON >/dev/null
cmake --build build-fuzz
for fuzzer in build-fuzz/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="build-fuzz/corpus/$name"
    mkdir -p "$corpus"
    cp -n fuzz/seeds/"${name#fuzz_}"/* "$corpus"/ 2>/dev/null || true
    echo "-- $name"
    log="build-fuzz/$name.log"
    rc=0
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=build-fuzz/ \
        "$corpus" >"$log" 2>&1 || rc=$?
    grep -E 'stat::number_of_executed_units|SUMMARY' "$log" || true
    if [ "$rc" -ne 0 ]; then
        tail -n 60 "$log"
        exit 1
    fi
done
