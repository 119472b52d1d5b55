#!/usr/bin/env bash
# Conversion benchmark: throughput and peak memory on a generated 100 MB program, pathshift-cli's
# peak memory from --help to a program of millions of plunges, a run of many
# files from the desktop program against pathshift-cli, the hot folder's latency, and CPU
# instructions per source byte (callgrind) on a 10 MB one.
set -euo pipefail
build=${1:-build/native}
size=${BENCH_MB:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out"

"$build/bench/generate_program" "$size" "$work/program.nc"
# Best of this many runs: on a shared machine a run's time varies by a fifth, and the best run is
# the one the ratio to the floors means.
runs=${BENCH_RUNS:-10}
echo "== end-to-end conversion (pathshift-cli convert, one core)"
"$build/bench/conversion_bench" "$build/converter/cli/pathshift-cli" "$work/program.nc" "$work/out" "$runs"

echo "== verify against convert on the same program (pathshift-cli verify, one core)"
"$build/bench/verify_bench" "$build/converter/cli/pathshift-cli" "$work/program.nc" "$work/out" "$runs"

cli="$build/converter/cli/pathshift-cli"
timed() {  # label, command...: wall time and peak memory of one run
  local label=$1
  shift
  /usr/bin/time -f "$label: %e s, %M KB peak" "$@" >/dev/null
}
echo "== preview against convert on the same program (seconds, peak memory)"
timed "convert    " "$cli" convert --thickness 0.75 --quiet -j 1 -o "$work/out" "$work/program.nc"
timed "preview svg" "$cli" preview --thickness 0.75 --quiet -o "$work/program.svg" "$work/program.nc"
if "$cli" preview --thickness 0.75 --quiet -o "$work/probe.png" "$work/program.nc" 2>/dev/null; then
  timed "preview png" "$cli" preview --thickness 0.75 --quiet -o "$work/program.png" "$work/program.nc"
fi

# Whatever the program's size, the peak stays within 16 MB: the depth table (one level per plunge)
# goes on in a temporary file beyond a quarter of a million plunges.
echo "== peak memory of pathshift-cli (the 16 MB bound holds for a program of any size)"
peak() {  # label, command...: the run's peak resident memory
  local label=$1
  shift
  if /usr/bin/time -o "$work/peak" -f %M "$@" >/dev/null 2>&1; then
    awk -v label="$label" '{ printf "%-40s %5.1f MB peak\n", label ":", $1 / 1024 }' "$work/peak"
  else
    echo "$label: the run failed"
  fi
}
printf 'N1G21\n\n' >"$work/tiny.nc"
"$build/bench/generate_program" 20 "$work/program20.nc" 5
awk 'BEGIN { print "%"; print "N1G20"; print "N2T1001M6"; for (i = 0; i < 1000000; i++) printf "NG0G1G0G1G0G1Z-0.%d\n", i % 9 + 1 }' \
  >"$work/plunges.nc"
peak "--help" "$cli" --help
for program in tiny "program20" program plunges; do
  case $program in
    tiny) what="a 7-byte program" ;;
    program20) what="a 20 MB program" ;;
    program) what="the ${size} MB program" ;;
    plunges) what="3 million plunges (20 MB)" ;;
  esac
  peak "$what, -o" "$cli" convert --thickness 0.75 --quiet -o "$work/out" "$work/$program.nc"
  peak "$what, --stdout" "$cli" convert --thickness 0.75 --quiet --stdout "$work/$program.nc"
done

batch=${BENCH_BATCH_FILES:-8}
echo "== a batch of $batch programs of ${BENCH_BATCH_MB:-10} MB: one file at a time, then one per core ($(nproc))"
mkdir -p "$work/batch" "$work/batch-out"
for i in $(seq 1 "$batch"); do "$build/bench/generate_program" "${BENCH_BATCH_MB:-10}" "$work/batch/p$i.nc" "$i"; done
timed "-j 1" "$cli" convert --thickness 0.75 --quiet -j 1 -o "$work/batch-out" "$work/batch"/*.nc
timed "-j $(nproc)" "$cli" convert --thickness 0.75 --quiet -o "$work/batch-out" "$work/batch"/*.nc

if [ -x "$build/bench/window_run_bench" ]; then
  files=${BENCH_WINDOW_FILES:-1000}
  echo "== a run of $files files from the desktop program's window against pathshift-cli -j 1"
  "$build/bench/generate_program" "${BENCH_WINDOW_MB:-0.05}" "$work/window-program.nc" 3
  "$build/bench/window_run_bench" "$cli" "$work/window-program.nc" "$work/window" "$files" 3
fi

# From a program renamed into the hot folder to its output landing: the settle period, the look
# at settling files (every 100 ms) and the conversion. Sampled every 5 ms.
watch_latency() {  # label, watch options...
  local label=$1 hot=$work/hot total=0 start
  shift
  rm -rf "$hot" && mkdir -p "$hot/in" "$hot/out"
  "$cli" watch --thickness 0.75 "$@" -o "$hot/out" "$hot/in" >/dev/null 2>&1 &
  local watcher=$!
  sleep 0.5
  for i in 1 2 3 4 5; do
    cp "$work/window-latency.nc" "$hot/.p$i.nc"
    start=$(date +%s%N)
    mv "$hot/.p$i.nc" "$hot/in/p$i.nc"
    while [ ! -f "$hot/out/p$i.nc" ]; do sleep 0.005; done
    total=$((total + $(date +%s%N) - start))
  done
  kill -TERM "$watcher" && wait "$watcher"
  echo "$label: $((total / 5000000)) ms from arrival to output, mean of 5"
}
echo "== hot folder latency (pathshift-cli watch, a 50 KB program)"
"$build/bench/generate_program" 0.05 "$work/window-latency.nc" 4 >/dev/null
watch_latency "notifications, --settle 0  " --settle 0
watch_latency "notifications, --settle 2  " --settle 2
watch_latency "--poll 1, --settle 0       " --settle 0 --poll 1

echo "== instructions per source byte (callgrind, 10 MB program)"
"$build/bench/generate_program" 10 "$work/small.nc" 2
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
  "$build/converter/cli/pathshift-cli" convert --thickness 0.75 --quiet -o "$work/out" "$work/small.nc" 2>/dev/null
instructions=$(awk '/^summary:/ {print $2}' "$work/callgrind.out")
bytes=$(stat -c %s "$work/small.nc")
awk -v i="$instructions" -v b="$bytes" 'BEGIN { printf "%d instructions for %d bytes: %.1f instructions per byte\n", i, b, i / b }'
