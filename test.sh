#!/usr/bin/env bash
# Builds and runs every test: the normal build, the AddressSanitizer + UBSan build, the
# sound tests under ThreadSanitizer, and a short run of each fuzzer. Set
# VULTAR_FUZZ_SECONDS to change the fuzzing time.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
jobs=$(nproc)

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# Runs one test program directly and fails unless it printed gtest's closing summary: a
# program that ends early (a crash, or an exit() inside a test) must not pass unnoticed.
run_test_program() {
    local log rc=0
    log=$(mktemp)
    "$@" 2>&1 | tee "$log" || rc=$?
    if [ "$rc" -ne 0 ] || ! grep -qE '^\[==========\] [0-9]+ tests? from .* ran\.' "$log"; then
        echo "FAILED: $1 ended without its summary (status $rc)"
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
}

# Warnings are errors in every build here (VULTAR_WERROR); people building the game get them
# as warnings only.
echo "== normal build (Release)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVULTAR_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== presentation benchmark (figures only, nothing asserted)"
build/tests/present_bench --benchmark_min_time=0.02

echo "== sanitizer build (ASan + UBSan)"
# -O1 keeps the sanitizers exact while running the data generator and the tests several
# times faster than an unoptimised build.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
      -DVULTAR_SANITIZE=ON -DVULTAR_WERROR=ON >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=0:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== thread sanitizer (sound tests)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVULTAR_TSAN=ON \
      -DVULTAR_WERROR=ON >/dev/null
sound_tests=()
for src in tests/sound/*_test.cpp; do
    sound_tests+=("$(basename "$src" .cpp)")
done
cmake --build build-tsan --target "${sound_tests[@]}"
for t in "${sound_tests[@]}"; do
    echo "-- $t"
    TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/sound/tsan.supp" \
        run_test_program "build-tsan/tests/$t" --gtest_brief=1
done

echo "== fuzzers (${VULTAR_FUZZ_SECONDS:-5} s each)"
scripts/fuzz.sh "${VULTAR_FUZZ_SECONDS:-5}"
