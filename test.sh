#!/usr/bin/env bash
# Builds and runs every test: the normal build, the AddressSanitizer + UBSan build, the
# sound tests under ThreadSanitizer, and a short run of each fuzzer. Set
# VULTAR_FUZZ_SECONDS to change the fuzzing time.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
jobs=$(nproc)

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizer build (ASan + UBSan)"
# -O1 keeps the sanitizers exact while running the data generator and the tests several
# times faster than an unoptimised build.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
      -DVULTAR_SANITIZE=ON >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=0:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== thread sanitizer (sound tests)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVULTAR_TSAN=ON >/dev/null
sound_tests=()
for src in tests/sound/*_test.cpp; do
    sound_tests+=("$(basename "$src" .cpp)")
done
cmake --build build-tsan --target "${sound_tests[@]}"
for t in "${sound_tests[@]}"; do
    echo "-- $t"
    TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/sound/tsan.supp" \
        "build-tsan/tests/$t" --gtest_brief=1
done

echo "== fuzzers (${VULTAR_FUZZ_SECONDS:-5} s each)"
scripts/fuzz.sh "${VULTAR_FUZZ_SECONDS:-5}"
