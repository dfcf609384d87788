#!/usr/bin/env bash
# Builds the fuzz preset and fuzzes the converter for SECONDS (default 60),
# seeded from examples/. For a long run: fuzz/run.sh 36000 (ten hours);
# findings land in the working directory as crash-*/leak-*/timeout-* files.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
corpus=build-fuzz/corpus
mkdir -p "$corpus"
cp examples/*.txt "$corpus/"
log=build-fuzz/fuzz.log
status=0
build-fuzz/fuzz/fuzz_convert -max_total_time="$seconds" -dict=fuzz/devcap.dict -max_len=8192 \
    -print_final_stats=1 "$corpus" >"$log" 2>&1 || status=$?
grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
if [ "$status" -ne 0 ]; then
    tail -40 "$log"
    echo "fuzz: failed (status $status)"
    exit 1
fi
echo "fuzz: ${seconds}s, nothing found"
