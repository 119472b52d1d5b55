#!/usr/bin/env bash
# Conversion benchmark: throughput and peak memory on a generated 100 MB program, and CPU
# instructions per source byte (callgrind) on a 10 MB one.
set -euo pipefail
build=${1:-build/native}
size=${BENCH_MB:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out"

"$build/bench/generate_program" "$size" "$work/program.nc"
echo "== end-to-end conversion (pathshift-cli convert, one core)"
"$build/bench/conversion_bench" "$build/converter/cli/pathshift-cli" "$work/program.nc" "$work/out" 3

echo "== instructions per source byte (callgrind, 10 MB program)"
"$build/bench/generate_program" 10 "$work/small.nc" 2
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
  "$build/converter/cli/pathshift-cli" convert --thickness 0.75 --quiet -o "$work/out" "$work/small.nc" 2>/dev/null
instructions=$(awk '/^summary:/ {print $2}' "$work/callgrind.out")
bytes=$(stat -c %s "$work/small.nc")
awk -v i="$instructions" -v b="$bytes" 'BEGIN { printf "%d instructions for %d bytes: %.1f instructions per byte\n", i, b, i / b }'
