#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#  1. the full build (windows included, tested headless; warnings are errors) in build/
#  2. everything again, windows included (headless), under AddressSanitizer and
#     UndefinedBehaviorSanitizer in build-asan/
#  3. the library file reader's fuzz target (clang, libFuzzer) for 60 s in build-fuzz/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARROW_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARROW_GUI=ON -DVARROW_SANITIZE=ON -DVARROW_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

scripts/fuzz.sh 60
