#!/usr/bin/env bash
# Fuzzes the text fields' editor for a bounded time with libFuzzer (clang).
#   tools/fuzz_text_engine.sh [seconds]   (default 60)
# Starts from tests/fixtures/text_engine_corpus/; a crashing input is copied
# into that folder, where the widget tests replay every file, and the script
# exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/fuzz_common.sh
seconds=${1:-60}
fuzz_build fuzz_text_engine

corpus=tests/fixtures/text_engine_corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fuzz_run fuzz_text_engine "$corpus" "$work" "$seconds"
