#!/usr/bin/env bash
# Runs every e2e/*_test.sh against the real binary under its own Xvfb.
# Usage: e2e/run_all.sh path/to/tarn-commander
set -u
bin=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
passed=0 failed=0
for t in "$here"/*_test.sh; do
  [ -e "$t" ] || continue
  if bash "$t" "$bin"; then passed=$((passed + 1)); echo "PASS $(basename "$t")"
  else failed=$((failed + 1)); echo "FAIL $(basename "$t")"; fi
done
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
