#!/usr/bin/env bash
# libdevcap.so exports exactly the functions libdevcap.h declares, under its
# SONAME, and needs no C++ runtime; the library includes nothing outside its
# folder and include/, the programs and bindings nothing but include/.
# usage: symbols.sh libdevcap.so source-dir
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
cd "$SRC" || exit 1
# "file: header" for every project header a source includes
includes() { grep -H -o '#include "[^"]*"' "$@" | sed 's/#include "\(.*\)"/\1/'; }
outside=$(includes lib/*.cpp lib/*.h | grep -v -E ':(DevCapCore\.h|DevCap\.h|libdevcap\.h)$')
[ -z "$outside" ] || { echo "the library includes from outside it: $outside"; status=1; }
private=$(includes programs/*.cpp programs/*/*.cpp programs/*/*.h web/*.cpp 2>/dev/null |
          grep -v -E ':(DevCap\.h|libdevcap\.h)$' | grep -v -E '^programs/([^/]*)/.*:[A-Za-z]+\.h$')
[ -z "$private" ] || { echo "a front end includes a private header: $private"; status=1; }
unknown=$(grep -ohE '"DevCap[A-Za-z]+"|lib\.DevCap[A-Za-z]+' python/devcap/*.py | grep -oE 'DevCap[A-Za-z]+' | sort -u |
          grep -v -x -F "$declared")
[ -z "$unknown" ] || { echo "the Python module calls what libdevcap.h does not declare: $unknown"; status=1; }
echo "$(wc -w <<<"$exported") functions exported"
exit $status
