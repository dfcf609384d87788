#!/usr/bin/env bash
# The man pages format without a single groff warning, and every keyword as
# man shows it at 80 columns, copied into a line of its own, is accepted by
# the converter: the page neither fills, justifies nor hyphenates a keyword.
# usage: manpage.sh man-directory path/to/devcap2bin
MAN=$(realpath "$1")
BIN=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/lib.sh"
for page in "$MAN"/*.1; do
    out=$(groff -man -Tutf8 -ww -z "$page" 2>&1) && [ -z "$out" ] && ok || bad "$page: $out"
done
mkdir BinFiles
groff -man -Tascii -rLL=80n -P-cbou "$MAN/devcap2bin.1" 2>/dev/null | sed -n '/^ENTRIES/,/^MESSAGES/p' > page.txt
entry=
keywords=0
while IFS= read -r line; do
    case $line in
        "       "[A-Z]*) entry=${line#       }; entry=${entry%% *} ;;
        *"'"*"'"*)
            keyword=${line#*\'}
            keyword=${keyword%\'*}
            [ "$line" = "              '$keyword'" ] || continue  # a keyword alone on its line
            keywords=$((keywords + 1))
            printf "%s='%s'\n" "$entry" "$keyword" > one.txt
            "$BIN" one.txt | grep -q 'Unknown configuration' && bad "$entry='$keyword' as copied from the page" || ok ;;
    esac
done < page.txt
[ "$keywords" -gt 150 ] || bad "only $keywords keywords found on the page"
finish
