#!/usr/bin/env bash
# Fuzzes the directory reader for a bounded time with libFuzzer (clang).
#   tools/fuzz_directory.sh [seconds]   (default 60)
# Starts from tests/fixtures/directory_corpus/ and the fixture disc set's
# directory file; a crashing input is copied into that corpus folder, where
# the engine tests replay every file, and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DDUV_SANITIZE=address -DDUV_TESTS=OFF -DDUV_BENCH=OFF -DDUV_FUZZ=ON >/dev/null
cmake --build "$build" -j4 --target fuzz_read_directory

corpus=tests/fixtures/directory_corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/crashes"
cp "$corpus"/* "$work/corpus/" 2>/dev/null || true
bash tests/fixtures/make_disc_set.sh "$work/set" >/dev/null
cp "$work/set/directory.txt" "$work/corpus/fixture_set.txt"

status=0
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  "$build/tools/fuzz_read_directory" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -artifact_prefix="$work/crashes/" "$work/corpus" || status=$?
for c in "$work/crashes"/*; do
  [ -e "$c" ] || continue
  cp "$c" "$corpus/regression_$(basename "$c")"
  echo "kept $corpus/regression_$(basename "$c")"
done
exit $status
