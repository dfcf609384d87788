#!/usr/bin/env bash
# The fuzz targets' properties on devcapgen's corpus, in seconds.
# usage: invariants.sh build-dir examples-dir
BUILD=$(realpath "$1") EXAMPLES=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/lib.sh"
"$BUILD/devcapgen" corpus . "$EXAMPLES"/*.txt && ok || bad "devcapgen corpus"
for target in convert lint; do "$BUILD/tests/fuzz_${target}_replay" t*.txt && ok || bad "fuzz_$target"; done
"$BUILD/tests/fuzz_dump_replay" r*.bin && ok || bad "fuzz_dump"
finish
