#!/usr/bin/env bash
# libdevcap.so exports exactly the functions libdevcap.h declares, under its
# SONAME, and needs no C++ runtime. usage: symbols.sh libdevcap.so source-dir
set -u
SRC=$2
status=0
exported=$(nm -D --defined-only "$1" | awk '$2 == "T" {print $3}' | sort)
declared=$(grep -oE '^DEVCAP_API [^(]*\(' "$SRC/include/libdevcap.h" | grep -oE '[A-Za-z0-9_]+\($' | tr -d '(' | sort)
[ "$exported" = "$declared" ] || { echo "exported and declared differ:"; diff <(echo "$declared") <(echo "$exported"); status=1; }
others=$(nm -D --defined-only "$1" | awk '$2 != "T" && $2 != "w" {print $3}')
[ -z "$others" ] || { echo "exported beyond the functions: $others"; status=1; }
readelf -d "$1" | grep -q 'SONAME.*\[libdevcap\.so\.1\]' || { echo "no SONAME libdevcap.so.1"; status=1; }
! readelf -d "$1" | grep -q 'NEEDED.*libstdc++' || { echo "needs libstdc++"; status=1; }
echo "$(wc -w <<<"$exported") functions exported"
exit $status
