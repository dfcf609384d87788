#!/usr/bin/env bash
# valgrind memcheck over the conversion of every example, a failing file and
# the usage path: any error fails the test.
set -u
BIN=$(realpath "$1")
EXAMPLES=$(realpath "$2")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" && mkdir BinFiles || exit 1
printf "SENSOR_ID='BOGUS'\nFWCAP_MISC_IO='DCIRIS,X'\n" > bad.txt
status=0
for args in "$EXAMPLES"/*.txt bad.txt ""; do
    valgrind --quiet --error-exitcode=99 --track-origins=yes "$BIN" $args >/dev/null 2>valgrind.log
    if [ $? -eq 99 ]; then
        echo "memcheck errors for '$args':"
        cat valgrind.log
        status=1
    fi
done
[ $status -eq 0 ] && echo "memcheck: clean"
exit $status
