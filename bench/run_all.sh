#!/usr/bin/env bash
# Runs every benchmark program of a build folder and every bench/*_bench.sh
# script, and fails when any of them fails. Each prints
# "BENCH <name> ratio=<ours/reference> target=<limit>".
# Usage: bench/run_all.sh BUILD_DIR
set -u
build=$(realpath "${1:?usage: bench/run_all.sh BUILD_DIR}")
here=$(dirname "$(realpath "$0")")
export QT_QPA_PLATFORM=offscreen
failed=0
for b in "$build"/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue # skips the *_autogen folders
  "$b" || { failed=$((failed + 1)); echo "FAILED $(basename "$b")"; }
done
for s in "$here"/*_bench.sh; do
  [ -e "$s" ] || continue
  bash "$s" "$build" || { failed=$((failed + 1)); echo "FAILED $(basename "$s")"; }
done
[ "$failed" -eq 0 ]
