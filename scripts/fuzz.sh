#!/usr/bin/env bash
# Builds the library file reader's fuzz target (clang, libFuzzer, ASan and UBSan) in
# build-fuzz/ and runs it for a fixed time, from the seeds in tests/fuzz/seeds, the default
# library and every case kept in tests/fuzz/cases. Fails when the fuzzer finds an input that
# crashes the reader or breaks the round trip; the input is then in build-fuzz/findings/:
# mend the fault and copy the input into tests/fuzz/cases/, where ctest replays it.
#   scripts/fuzz.sh [SECONDS]      (60 when not given)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARROW_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)" --target library_fuzzer

# The fuzzer adds what it learns to the first folder; the kept seeds and cases stay untouched.
corpus="$build/corpus"
findings="$build/findings"
mkdir -p "$corpus"
rm -rf "$findings" && mkdir -p "$findings"
cases=()
for f in tests/fuzz/cases/*; do
  [ "$(basename "$f")" = README ] || cases+=("$f")
done
seeds="$build/seeds"
rm -rf "$seeds" && mkdir -p "$seeds"
cp tests/fuzz/seeds/* src/library/OrlaFuelModels.FFM "$seeds/"
[ ${#cases[@]} -eq 0 ] || cp "${cases[@]}" "$seeds/"

echo "-- fuzzing the library file reader for $seconds s"
status=0
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build/tests/fuzz/library_fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -dict=tests/fuzz/library.dict \
  -artifact_prefix="$findings/" "$corpus" "$seeds" >"$build/fuzz.log" 2>&1 || status=$?
tail -n 12 "$build/fuzz.log"
if [ "$status" -ne 0 ] || [ -n "$(ls -A "$findings")" ]; then
  echo "FAILED: the fuzzer found a fault (status $status); the input: $(ls "$findings" | sed "s|^|$findings/|")" >&2
  echo "Whole log: $build/fuzz.log. Once it is mended, copy the input into tests/fuzz/cases/." >&2
  exit 1
fi
echo "-- the fuzzer found nothing"
