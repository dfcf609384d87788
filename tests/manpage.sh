#!/usr/bin/env bash
# Every keyword as man shows it at 80 columns, copied into a line of its own,
# is accepted by the converter: the page neither fills, justifies nor
# hyphenates a keyword. usage: manpage.sh devcap2bin.1 path/to/devcap2bin
set -u
PAGE=$(realpath "$1")
BIN=$(realpath "$2")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" && mkdir BinFiles || exit 1
groff -man -Tascii -rLL=80n -P-cbou "$PAGE" 2>/dev/null | sed -n '/^ENTRIES/,/^MESSAGES/p' > page.txt
pass=0
fail=0
entry=
while IFS= read -r line; do
    case $line in
        "       "[A-Z]*) entry=${line#       }; entry=${entry%% *} ;;
        *"'"*"'"*)
            keyword=${line#*\'}
            keyword=${keyword%\'*}
            [ "$line" = "              '$keyword'" ] || continue  # a keyword alone on its line
            printf "%s='%s'\n" "$entry" "$keyword" > one.txt
            if "$BIN" one.txt | grep -q 'Unknown configuration'; then
                fail=$((fail + 1))
                echo "FAIL: $entry='$keyword' as copied from the page"
            else
                pass=$((pass + 1))
            fi ;;
    esac
done < page.txt
[ "$pass" -gt 150 ] || { echo "only $pass keywords found on the page"; fail=$((fail + 1)); }
printf '%d passed, %d failed\n' "$pass" "$fail"
[ "$fail" -eq 0 ]
