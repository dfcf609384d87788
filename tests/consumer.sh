#!/usr/bin/env bash
# Out-of-tree consumers of an installed devcap: a C and a C++ program through
# find_package and through pkg-config, each converting every example to the
# bytes devcap2bin writes; devcap_add_records converting at build time,
# re-running when a text changes and failing the build on a refused text.
# usage: consumer.sh PREFIX EXAMPLES
set -u
PREFIX=$(realpath "$1")
EXAMPLES=$(realpath "$2")
SRC=$(dirname "$(realpath "$0")")/consumer
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
pass=0
fail=0
check() { if eval "$2"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1"; fi; }
PC=$(find "$PREFIX" -name devcap.pc)
LIBDIR=$(dirname "$(dirname "$PC")")
export LD_LIBRARY_PATH=$LIBDIR
export PKG_CONFIG_PATH=$LIBDIR/pkgconfig
mkdir BinFiles
cp "$EXAMPLES"/*.txt .
for t in *.txt; do "$PREFIX/bin/devcap2bin" "$t" >/dev/null; done
hex() { od -An -tx1 -v "$1" | tr -d ' \n'; }

cmake -S "$SRC" -B cm -DCMAKE_PREFIX_PATH="$PREFIX" "-DRECORD_TEXTS=$WORK/ipcam.txt;$WORK/ptz-dome.txt" >cm.log 2>&1
check "find_package: configure" 'cmake --build cm >>cm.log 2>&1 || { cat cm.log; false; }'
cc -o pc_c "$SRC/consumer.c" $(pkg-config --cflags --libs devcap) 2>pc.log
check "pkg-config: C" '[ -x pc_c ] || { cat pc.log; false; }'
c++ -o pc_cpp "$SRC/consumer.cpp" $(pkg-config --cflags devcap) "$LIBDIR/libdevcap.a" 2>>pc.log
check "pkg-config: C++, static" '[ -x pc_cpp ] || { cat pc.log; false; }'
for name in ipcam ptz-dome video-server; do
    for prog in cm/consumer_c cm/consumer_cpp pc_c pc_cpp; do
        check "$prog $name" '[ "$(./$prog $name.txt)" = "$(hex BinFiles/$name.bin)" ]'
    done
done
check "records built" 'cmp -s cm/BinFiles/ipcam.bin BinFiles/ipcam.bin && cmp -s cm/BinFiles/ptz-dome.bin BinFiles/ptz-dome.bin'
# A changed text is converted again; a refused one fails the build with the converter's lines.
sleep 1
sed -i "s/FWCAP_DIS='2'/FWCAP_DIS='1'/" ipcam.txt
cmake --build cm >/dev/null 2>&1
check "re-run on change" '[ "$(od -An -tx1 -j40 -N1 cm/BinFiles/ipcam.bin | tr -d " ")" = 01 ]'
sed -i "1i SENSOR_ID='XYZ'" ptz-dome.txt  # before its EOF line
check "refused text fails the build" '! cmake --build cm >refused.log 2>&1'
check "with the converter's lines" 'grep -q "Tex2BinSensorID:Error. Unknown Sensor ID .XYZ." refused.log'
check "the earlier record stays" 'cmp -s cm/BinFiles/ptz-dome.bin BinFiles/ptz-dome.bin'
# A project with no language finds the package; two texts of one base name are refused by name.
cmake -S "$SRC/records" -B rec -DCMAKE_PREFIX_PATH="$PREFIX" "-DRECORD_TEXTS=$WORK/video-server.txt" >rec.log 2>&1
check "project(records NONE)" '{ cmake --build rec >>rec.log 2>&1 && cmp -s rec/BinFiles/video-server.bin BinFiles/video-server.bin; } || { cat rec.log; false; }'
mkdir other && cp video-server.txt other/
check "one record name for two texts" '! cmake -S "$SRC/records" -B dup -DCMAKE_PREFIX_PATH="$PREFIX" "-DRECORD_TEXTS=$WORK/video-server.txt;$WORK/other/video-server.txt" >dup.log 2>&1 && tr -s " \n" " " <dup.log | grep -q "other/video-server.txt and $WORK/video-server.txt would both become BinFiles/video-server.bin"'
# The installed Python module finds the installed library by itself.
site=$(dirname "$(dirname "$(find "$PREFIX" -path '*/devcap/__main__.py')")")
check "python3 -m devcap, installed" \
    '[ "$(env -u LD_LIBRARY_PATH PYTHONPATH="$site" python3 -m devcap video-server.txt)" = "video-server.txt: converts to BinFiles/video-server.bin" ]'
printf '%d passed, %d failed\n' "$pass" "$fail"
[ "$fail" -eq 0 ]
