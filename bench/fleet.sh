#!/usr/bin/env bash
# devcapfleet at scale: N generated texts (the examples with their numbers
# varied, one in fifty refused) indexed cold, then again with nothing changed,
# and peak memory at two sizes. Figures, not a timed test.
# usage: bench/fleet.sh path/to/devcapfleet [N=10000] [BIG=100000]
set -euo pipefail
FLEET=$(realpath "$1")
N=${2:-10000}
BIG=${3:-100000}
EXAMPLES=$(realpath "$(dirname "$0")/../examples")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# generate DIR COUNT: COUNT texts in folders of 1,000.
generate() {
    python3 - "$EXAMPLES" "$1" "$2" <<'EOF'
import os, sys
examples, out, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
texts = [open(os.path.join(examples, n)).read() for n in sorted(os.listdir(examples))]
for i in range(count):
    folder = os.path.join(out, f"batch{i // 1000:03d}")
    os.makedirs(folder, exist_ok=True)
    text = texts[i % len(texts)].replace("FWCAP_DIS='2'", f"FWCAP_DIS='{i % 3}'")
    text = text.replace("CDS_DAY2NIGHT_THD='30'", f"CDS_DAY2NIGHT_THD='{i % 200}'")
    if i % 50 == 0:
        text += "FWCAP_UNIT_TYPE='IP Camra'\n"
    with open(os.path.join(folder, f"model{i:06d}.txt"), "w") as f:
        f.write(text)
EOF
}

# seconds of one run, best of three (cold: a fresh database each time)
best() {
    local best=999
    for _ in 1 2 3; do
        [ "$1" = cold ] && rm -f "$WORK/fleet.db"
        local t0 t1
        t0=$(date +%s.%N)
        "$FLEET" -o "$WORK/fleet.db" "$WORK/line" >/dev/null
        t1=$(date +%s.%N)
        best=$(python3 -c "print(min($best, $t1 - $t0))")
    done
    printf '%.3f' "$best"
}

generate "$WORK/line" "$N"
sync
echo "$N texts: cold $(best cold) s, warm $(best warm) s (best of three)"
size=$(stat -c %s "$WORK/fleet.db")
echo "database: $((size / 1024 / 1024)) MB"

# Peak RSS, in KB, of a cold run over a small and a big line.
rss() {
    rm -rf "$WORK/line" "$WORK/fleet.db"
    generate "$WORK/line" "$1"
    /usr/bin/time -f %M "$FLEET" -o "$WORK/fleet.db" "$WORK/line" 2>&1 >/dev/null | tail -1
}
small=$(rss 1000)
big=$(rss "$BIG")
echo "peak RSS: 1,000 texts $small KB, $BIG texts $big KB"
