#!/usr/bin/env bash
# Fuzzes the directory reader for a bounded time with libFuzzer (clang).
#   tools/fuzz_directory.sh [seconds]   (default 60)
# Starts from tests/fixtures/directory_corpus/ and the fixture disc set's
# directory file; a crashing input is copied into that corpus folder, where
# the engine tests replay every file, and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/fuzz_common.sh
seconds=${1:-60}
fuzz_build fuzz_read_directory

corpus=tests/fixtures/directory_corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus"
bash tests/fixtures/make_disc_set.sh "$work/set" >/dev/null
cp "$work/set/directory.txt" "$work/corpus/fixture_set.txt"
fuzz_run fuzz_read_directory "$corpus" "$work" "$seconds"
