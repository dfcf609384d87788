#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target for SECONDS (default 60):
# fuzz_convert and fuzz_lint on text seeded from examples/, fuzz_dump on the records the
# examples convert to, fuzz_lsp on an editor's session. For a long run: fuzz/run.sh 36000 (ten hours per target).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
out=build-fuzz
mkdir -p "$out/corpus" "$out/corpus-dump" "$out/BinFiles"
cp examples/*.txt "$out/corpus/"
for f in examples/*.txt; do (cd "$out" && ./devcap2bin "../$f" >/dev/null); done
cp "$out"/BinFiles/*.bin "$out/corpus-dump/"
cat "$out"/BinFiles/ipcam.bin "$out"/BinFiles/ptz-dome.bin > "$out/corpus-dump/pair.bin"  # two records: the comparison

status=0
mkdir -p "$out/corpus-lsp" && cp fuzz/seeds/lsp-session "$out/corpus-lsp/"  # an editor's session

for target in convert dump lint lsp; do
    corpus=$out/corpus
    [ "$target" = dump ] && corpus=$out/corpus-dump
    [ "$target" = lsp ] && corpus=$out/corpus-lsp
    log=$out/fuzz_$target.log
    rc=0
    "$out/fuzz/fuzz_$target" -max_total_time="$seconds" -dict="$out/devcap.dict" -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$out/" "$corpus" >"$log" 2>&1 || rc=$?
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    if [ "$rc" -ne 0 ]; then
        tail -40 "$log"
        echo "fuzz_$target: FAILED (status $rc), finding in $out/"
        status=1
    else
        echo "fuzz_$target: ${seconds}s, ${runs:-?} runs, nothing found"
    fi
done
exit $status
