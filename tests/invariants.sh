#!/usr/bin/env bash
# The fuzz targets' properties on devcapgen's corpus (texts made from the
# examples and the tables, pairs of their records with bytes changed), in
# seconds: a text's errors are the converter's refusals, fixes come to rest,
# the dump's text makes its record again, a diff lists exactly the fields that
# differ, every JSON parses. usage: invariants.sh build-dir examples-dir
BUILD=$(realpath "$1")
EXAMPLES=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/lib.sh"
"$BUILD/devcapgen" corpus . "$EXAMPLES"/*.txt && ok || bad "devcapgen corpus"
for target in convert lint; do "$BUILD/tests/fuzz_${target}_replay" t*.txt >/dev/null && ok || bad "fuzz_$target"; done
"$BUILD/tests/fuzz_dump_replay" r*.bin >/dev/null && ok || bad "fuzz_dump"
finish
