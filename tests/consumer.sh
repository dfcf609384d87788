#!/usr/bin/env bash
# Out-of-tree consumers of an installed devcap: a C program on the shared and
# on the static library, through find_package and through pkg-config, each
# converting every example to the bytes devcap2bin writes; devcap_add_records
# converting at build time, re-running when a text changes, failing the build
# on a refused text; a project with no language; the Python module.
# usage: consumer.sh PREFIX EXAMPLES
PREFIX=$(realpath "$1")
EXAMPLES=$(realpath "$2")
SRC=$(dirname "$(realpath "$0")")/consumer
source "$(dirname "$(realpath "$0")")/lib.sh"
# test_ NAME CONDITION: evaluates a shell condition.
test_() { if eval "$2"; then ok; else bad "$1"; fi; }
PC=$(find "$PREFIX" -name devcap.pc)
LIBDIR=$(dirname "$(dirname "$PC")")
export LD_LIBRARY_PATH=$LIBDIR
export PKG_CONFIG_PATH=$LIBDIR/pkgconfig
mkdir BinFiles
cp "$EXAMPLES"/*.txt .
for t in *.txt; do "$PREFIX/bin/devcap2bin" "$t" >/dev/null; done

cmake -S "$SRC" -B cm -DCMAKE_PREFIX_PATH="$PREFIX" "-DRECORD_TEXTS=$WORK/ipcam.txt;$WORK/ptz-dome.txt" >cm.log 2>&1
test_ "find_package: configure" 'cmake --build cm >>cm.log 2>&1 || { cat cm.log; false; }'
cc -o pc_c "$SRC/consumer.c" $(pkg-config --cflags --libs devcap) 2>pc.log
test_ "pkg-config: C" '[ -x pc_c ] || { cat pc.log; false; }'
cc -o pc_static "$SRC/consumer.c" $(pkg-config --cflags devcap) "$LIBDIR/libdevcap.a" 2>>pc.log
test_ "pkg-config: C, static" '[ -x pc_static ] || { cat pc.log; false; }'
for name in ipcam ptz-dome video-server; do
    for prog in cm/consumer_c cm/consumer_static pc_c pc_static; do
        test_ "$prog $name" '[ "$(./$prog $name.txt)" = "$(hex_of BinFiles/$name.bin)" ]'
    done
done
test_ "records built" 'cmp -s cm/BinFiles/ipcam.bin BinFiles/ipcam.bin && cmp -s cm/BinFiles/ptz-dome.bin BinFiles/ptz-dome.bin'
# A changed text is converted again; a refused one fails the build with the converter's lines.
sleep 1
sed -i "s/FWCAP_DIS='2'/FWCAP_DIS='1'/" ipcam.txt
cmake --build cm >/dev/null 2>&1
test_ "re-run on change" '[ "$(od -An -tx1 -j40 -N1 cm/BinFiles/ipcam.bin | tr -d " ")" = 01 ]'
sed -i "1i SENSOR_ID='XYZ'" ptz-dome.txt  # before its EOF line
test_ "refused text fails the build" '! cmake --build cm >refused.log 2>&1'
test_ "with the converter's lines" 'grep -q "Tex2BinSensorID:Error. Unknown Sensor ID .XYZ." refused.log'
test_ "the earlier record stays" 'cmp -s cm/BinFiles/ptz-dome.bin BinFiles/ptz-dome.bin'
# A project with no language finds the package; two texts of one base name are refused by name.
cmake -S "$SRC/records" -B rec -DCMAKE_PREFIX_PATH="$PREFIX" "-DRECORD_TEXTS=$WORK/video-server.txt" >rec.log 2>&1
test_ "project(records NONE)" '{ cmake --build rec >>rec.log 2>&1 && cmp -s rec/BinFiles/video-server.bin BinFiles/video-server.bin; } || { cat rec.log; false; }'
mkdir other && cp video-server.txt other/
test_ "a missing text stops the configuration" '! cmake -S "$SRC/records" -B miss -DCMAKE_PREFIX_PATH="$PREFIX" "-DRECORD_TEXTS=$WORK/none.txt" >miss.log 2>&1 && tr -s " \n" " " <miss.log | grep -q "devcap_add_records(records): $WORK/none.txt does not exist"'
test_ "one record name for two texts" '! cmake -S "$SRC/records" -B dup -DCMAKE_PREFIX_PATH="$PREFIX" "-DRECORD_TEXTS=$WORK/video-server.txt;$WORK/other/video-server.txt" >dup.log 2>&1 && tr -s " \n" " " <dup.log | grep -q "other/video-server.txt and $WORK/video-server.txt would both become BinFiles/video-server.bin"'
# The installed Python module finds the installed library by itself.
site=$(dirname "$(dirname "$(find "$PREFIX" -path '*/devcap/__main__.py')")")
test_ "python3 -m devcap, installed" \
    '[ "$(env -u LD_LIBRARY_PATH PYTHONPATH="$site" python3 -m devcap video-server.txt)" = "video-server.txt: converts to BinFiles/video-server.bin" ]'
finish
