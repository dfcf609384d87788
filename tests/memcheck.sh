#!/usr/bin/env bash
# valgrind memcheck over the conversion of every example, a failing file and
# the usage path: any error fails the test.
BIN=$(realpath "$1")
EXAMPLES=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/lib.sh"
mkdir BinFiles
printf "SENSOR_ID='BOGUS'\nFWCAP_MISC_IO='DCIRIS,X'\n" > bad.txt
for args in "$EXAMPLES"/*.txt bad.txt ""; do
    valgrind --quiet --error-exitcode=99 --track-origins=yes "$BIN" $args >/dev/null 2>valgrind.log
    [ $? -ne 99 ] && ok || { bad "memcheck errors for '$args'"; cat valgrind.log; }
done
finish
