#!/usr/bin/env bash
# Fuzzes the text fields' editor for a bounded time with libFuzzer (clang).
#   tools/fuzz_text_engine.sh [seconds]   (default 60)
# Starts from tests/fixtures/text_engine_corpus/; a crashing input is copied
# into that folder, where the widget tests replay every file, and the script
# exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DDUV_SANITIZE=address -DDUV_TESTS=OFF -DDUV_BENCH=OFF -DDUV_FUZZ=ON >/dev/null
cmake --build "$build" -j4 --target fuzz_text_engine

corpus=tests/fixtures/text_engine_corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/crashes"
cp "$corpus"/* "$work/corpus/" 2>/dev/null || true

status=0
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  "$build/tools/fuzz_text_engine" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -artifact_prefix="$work/crashes/" "$work/corpus" || status=$?
for c in "$work/crashes"/*; do
  [ -e "$c" ] || continue
  cp "$c" "$corpus/regression_$(basename "$c")"
  echo "kept $corpus/regression_$(basename "$c")"
done
exit $status
