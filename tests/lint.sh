#!/usr/bin/env bash
# devcaplint as a program: output forms, options, exit statuses.
# usage: lint.sh path/to/devcaplint path/to/examples
set -u
LINT=$(realpath "$1")
EXAMPLES=$(realpath "$2")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
pass=0
fail=0
check() { if [ "$2" = "$3" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); printf 'FAIL: %s\n got: %s\nwant: %s\n' "$1" "$2" "$3"; fi; }

printf "FWCAP_UNIT_TYPE='IP Camra'\nFWCAP_DIS='two'\n" > bad.txt
# name | arguments | standard output and status
check "examples lint clean" "$("$LINT" "$EXAMPLES"/*.txt; echo "#$?")" "#0"
check "text" "$("$LINT" bad.txt; echo "#$?")" "bad.txt:1:18: error: unknown unit type 'IP Camra'; did you mean 'IP Camera'? [bad-value]
bad.txt:2:12: warning: 'two' is not a number: FWCAP_DIS becomes 0 [not-a-number]
#1"
check "standard input, a warning turned off" "$("$LINT" --disable=not-a-number - < bad.txt; echo "#$?")" \
    "<stdin>:1:18: error: unknown unit type 'IP Camra'; did you mean 'IP Camera'? [bad-value]
#1"
out=$("$LINT" --disable=bad-value bad.txt 2>&1)
check "errors cannot be turned off" "${out%%$'\n'*}#$?" "devcaplint: bad-value: errors cannot be turned off#2"
check "unreadable file, the others still linted" "$("$LINT" missing.txt bad.txt 2>&1 | cut -c1-40; echo "#${PIPESTATUS[0]}")" \
    "devcaplint: cannot open missing.txt: No 
bad.txt:1:18: error: unknown unit type '
bad.txt:2:12: warning: 'two' is not a nu
#2"
check "list of rules" "$("$LINT" --list-rules | awk '{print $1}' | tr '\n' ' ')" \
    "unknown-entry bad-value check long-name long-value split-line not-a-number ignored-after-stop duplicate after-eof not-an-entry quote bom encoding "
# JSON: one array, exactly the six keys, any byte of a file name escaped.
odd=$(printf 'b\x01"\xff\xc3\xa9.txt')
cp bad.txt "$odd"
json=$("$LINT" --format=json "$odd" bad.txt)
check "JSON" "$(python3 -c 'import json,sys; a=json.loads(sys.argv[1]); print(len(a), sorted(a[0]), a[0]["file"] == "b\x01\"\xff\xe9.txt", a[3]["line"], a[3]["severity"])' "$json")" \
    "4 ['column', 'file', 'line', 'message', 'rule', 'severity'] True 2 warning"
check "JSON, no finding" "$("$LINT" --format=json "$EXAMPLES/ipcam.txt")" "[]"
# Colour only on a terminal, and never with NO_COLOR.
if command -v script >/dev/null; then
    check "colour on a terminal" "$(script -qc "$LINT bad.txt" /dev/null | grep -c $'\033\[')" "2"
    check "NO_COLOR" "$(NO_COLOR=1 script -qc "$LINT bad.txt" /dev/null | grep -c $'\033\[')" "0"
fi
printf '%d passed, %d failed\n' "$pass" "$fail"
[ "$fail" -eq 0 ]
