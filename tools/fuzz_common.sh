# Shared by the fuzz scripts (sourced): fuzz_build <target> configures the
# clang fuzz build and builds the target; fuzz_run <target> <corpus folder>
# <work folder> <seconds> runs it from <work folder>/corpus for a bounded
# time, copies any crashing input into the corpus folder, where the tests
# replay every file, and returns non-zero when one was found.
build=build/fuzz

fuzz_build() {
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
    -DDUV_SANITIZE=address -DDUV_TESTS=OFF -DDUV_BENCH=OFF -DDUV_FUZZ=ON >/dev/null
  cmake --build "$build" -j4 --target "$1"
}

fuzz_run() {
  local target=$1 corpus=$2 work=$3 seconds=$4 status=0
  mkdir -p "$work/corpus" "$work/crashes"
  cp "$corpus"/* "$work/corpus/" 2>/dev/null || true
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$build/tools/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -artifact_prefix="$work/crashes/" "$work/corpus" || status=$?
  for c in "$work/crashes"/*; do
    [ -e "$c" ] || continue
    cp "$c" "$corpus/regression_$(basename "$c")"
    echo "kept $corpus/regression_$(basename "$c")"
  done
  return $status
}
