#!/usr/bin/env bash
# Runs the disc-set maker scripted, as a new user would: with a home of its
# own, removed afterwards, and a window on the current display, else on a
# private X server. When the maker fails, prints its output and the end of
# the log it kept.
#   run_disc_set_maker.sh TOOL ARGS...
set -euo pipefail
tool=$1
shift
home=$(mktemp -d "${TMPDIR:-/tmp}/duv-maker-XXXXXX")
trap 'rm -rf "$home"' EXIT
run=()
[ -n "${DISPLAY:-}" ] || run=(xvfb-run -a -s "-screen 0 1280x1024x24")
if ! env HOME="$home" XDG_CONFIG_HOME="$home/.config" "${run[@]}" "$tool" --qa_script "$@" >"$home/stdout.txt" 2>&1; then
  echo "make_disc_set failed; its output and the alerts it logged:" >&2
  cat "$home/stdout.txt" >&2
  log=$(find "$home" -name 'Duvizo Installer Log.txt' | head -n 1)
  [ -n "$log" ] && grep -A5 '^$' "$log" | tail -n 40 >&2
  exit 1
fi
