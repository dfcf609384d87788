#!/usr/bin/env bash
# devcapdump, devcaplint and devcapdiff as programs: arguments, output forms,
# exit statuses, files; devcapdiff in a real git repository.
# usage: programs.sh directory-of-the-programs path/to/examples
DIR=$(realpath "$1")
EXAMPLES=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/lib.sh"
BIN=$DIR/devcap2bin DUMP=$DIR/devcapdump LINT=$DIR/devcaplint DIFF=$DIR/devcapdiff
mkdir BinFiles
for name in ipcam ptz-dome video-server; do cp "$EXAMPLES/$name.txt" . && "$BIN" "$name.txt" >/dev/null; done
# run PROGRAM ARGS...: its standard output and error, then #status.
run() { "$@" 2>&1; printf '#%d' $?; }

# --- devcapdump: a record back into text that converts to the same bytes ---
# A file name is no way into the text: a newline in it stays in the comment.
mkdir back && cd back && mkdir BinFiles
odd=$(printf "x\nBOGUS='1'.bin")
cp ../BinFiles/ipcam.bin "$odd" && "$DUMP" "$odd" > odd.txt && "$BIN" odd.txt >/dev/null \
    && cmp -s BinFiles/odd.bin ../BinFiles/ipcam.bin && ok || bad "a file name leaked into the dump's text"
cd ..
head -c 119 BinFiles/ipcam.bin > short.bin
cat short.bin BinFiles/ipcam.bin > long.bin
head -c 120 /dev/zero > zero.bin
check "short record" "$(run "$DUMP" short.bin)" "devcapdump: short.bin is 119 bytes, not a 120-byte device capability record\n#2"
check "long record" "$(run "$DUMP" long.bin)" "devcapdump: long.bin is more than 120 bytes, not a 120-byte device capability record\n#2"
check "missing record" "$(run "$DUMP" missing.bin)" "devcapdump: cannot open missing.bin: No such file or directory\n#2"
check "a record failing the check" "$(run "$DUMP" zero.bin | grep -c -e '^#   DevCapDBCheckHeader:Error. Header key' -e '^#1$')" "2"
cp BinFiles/ipcam.bin dis3.bin && printf '\3' | dd of=dis3.bin bs=1 seek=40 conv=notrunc 2>/dev/null  # FWCAP_DIS='3'
check "read back, not written" "$(run "$DUMP" dis3.bin | sed -n '2p;$p')" \
    "# devcap2bin reads it back into the same 120 bytes but writes no record: they fail the check.\n#1"
check "full standard output" "$("$DUMP" BinFiles/ipcam.bin 2>&1 >/dev/full; printf '#%d' $?)" "devcapdump: cannot write standard output: No space left on device\n#2"
check "misuse" "$(for a in 'a b' --bogus '' '--json --layout x'; do said=$("$DUMP" $a 2>&1); printf '%s\n#%d ' "${said%%$'\n'*}" $?; done)" \
    "devcapdump: one record at a time\n#2 devcapdump: unknown option --bogus\n#2 usage: devcapdump [--layout | --json] [--] FILE.bin   (- reads standard input)\n#2 devcapdump: --layout and --json exclude each other\n#2 "
cp BinFiles/ipcam.bin ./-x.bin
check "-- and - " "$("$DUMP" -- -x.bin | sed 1d | cmp - <("$DUMP" - < BinFiles/ipcam.bin | sed 1d) && echo same)" "same"
check "--layout" "$("$DUMP" --layout BinFiles/ipcam.bin | grep '^    36 ')" \
    "    36    1 FwDevCap.type                   0x0A               FWCAP_UNIT_TYPE='Mega IP Camera'"
check "--json" "$("$DUMP" --json BinFiles/ipcam.bin | python3 -c 'import json,sys; d=json.load(sys.stdin); print(d["source"], d["check"])')" \
    "BinFiles/ipcam.bin {'passes': True, 'lines': []}"

# --- devcaplint: output forms, options, statuses, fixes ---
printf "FWCAP_UNIT_TYPE='IP Camra'\nFWCAP_DIS='two'\n" > bad.txt
check "examples lint clean" "$(run "$LINT" --format=text "$EXAMPLES"/*.txt)" "#0"
check "unknown option" "$(run "$LINT" --bogus bad.txt | sed -n '1p;$p')" "devcaplint: unknown option --bogus\n#2"
check "unknown format" "$(run "$LINT" --format=xml bad.txt | sed -n '1p;$p')" "devcaplint: unknown format xml (text or json)\n#2"
check "--fix with --diff" "$(run "$LINT" --fix --diff bad.txt | sed -n '1p;$p')" "devcaplint: --fix and --diff exclude each other\n#2"
check "text" "$(run "$LINT" -- bad.txt)" "bad.txt:1:18: error: unknown unit type 'IP Camra'; did you mean 'IP Camera'? [bad-value]\nbad.txt:2:12: warning: 'two' is not a number: FWCAP_DIS becomes 0 [not-a-number]\n#1"
check "standard input, a warning turned off" "$(run "$LINT" --disable=not-a-number - < bad.txt)" \
    "<stdin>:1:18: error: unknown unit type 'IP Camra'; did you mean 'IP Camera'? [bad-value]\n#1"
check "notes alone" "$(printf "sensor_id='MT9P031'\nSENSOR_CTRL='I2C'\nSENSOR_VOUT='CCIR656_8'\nMD_SRC='ENCODER'\n" | run "$LINT" -)" \
    "<stdin>:1:1: note: 'sensor_id': the table spells it 'SENSOR_ID' [spelling]\n#0"
check "errors cannot be turned off" "$(run "$LINT" --disable=bad-value bad.txt | head -1)" \
    "devcaplint: --disable: 'bad-value' is an error: errors cannot be turned off"
check "unreadable files, the others still linted" "$(run "$LINT" missing.txt back bad.txt | cut -c1-40)" \
    "devcaplint: cannot open missing.txt: No \ndevcaplint: cannot read back: Is a direc\nbad.txt:1:18: error: unknown unit type '\nbad.txt:2:12: warning: 'two' is not a nu\n#2"
check "list of rules: name, severity, summary" "$("$LINT" --list-rules | grep -c -v -E '^[a-z-]+ +(error|warning|note) +[A-Za-z]')" "0"
# JSON: one array of objects with exactly their keys, any byte of a file name escaped.
odd=$(printf 'b\x01"\xff\xc3\xa9.txt')
cp bad.txt "$odd"
json=$("$LINT" --format=json "$odd" bad.txt)
check "JSON" "$(python3 -c 'import json,sys; a=json.loads(sys.argv[1]); print(len(a), sorted(a[0]), a[0]["file"] == "b\x01\"\xff\xe9.txt", a[0]["fix"], a[3]["line"], a[3]["severity"])' "$json")" \
    "4 ['column', 'file', 'fix', 'line', 'message', 'rule', 'severity'] True [{'range': {'start': {'line': 1, 'column': 18}, 'end': {'line': 1, 'column': 26}}, 'text': 'IP Camera'}] 2 warning"
check "JSON, no finding" "$("$LINT" --format=json "$EXAMPLES/ipcam.txt")" "[]"
if command -v script >/dev/null; then
    check "colour on a terminal" "$(script -qc "$LINT bad.txt" /dev/null | grep -o $'\033\[1;3.m[a-z]*' | tr -d '\033')" \
        "[1;31merror\n[1;35mwarning"
    check "NO_COLOR" "$(NO_COLOR=1 script -qc "$LINT bad.txt" /dev/null | grep -c $'\033\[')" "0"
fi
# --fix rewrites each file; the status is what remains. --diff changes nothing and applies with patch.
pad='#\n#\n#\n#\n#\n#\n#\n#\n'  # two hunks in the diff
printf "\xef\xbb\xbfSENSOR_ID='MT9P031'\nSENSOR_CTRL='I2C\nSENSOR_VOUT=CCIR656_8\nMD_SRC='ENCODER'\nDN_SRC='DSP, CDS'\nDN_SRC_DEFAULT='cds'\nFWCAP_DIS='two'\n${pad}zoom_cap='None'" > fix.txt
printf "SENSOR_ID='MT9P031'\nSENSOR_CTRL='I2C'\nSENSOR_VOUT='CCIR656_8'\nMD_SRC='ENCODER'\nDN_SRC='DSP,CDS'\nDN_SRC_DEFAULT='CDS'\nFWCAP_DIS='two'\n${pad}ZOOM_CAP='None'" > fixed.want
cp fix.txt orig.txt
"$LINT" --diff fix.txt > fix.diff
check "--diff: what remains, nothing changed" "$?$(cmp fix.txt orig.txt && echo same)" "1same"
check "--diff: two hunks" "$(grep -E '^(---|[+]{3}|@@) ' fix.diff)" "--- a/fix.txt\n+++ b/fix.txt\n@@ -1,9 +1,9 @@\n@@ -13,4 +13,4 @@"
(mkdir -p p && cd p && cp ../orig.txt fix.txt && patch -sp1 < ../fix.diff && cmp -s fix.txt ../fixed.want) && ok ||
    bad "--diff does not apply with patch -p1"
# A line holding a NUL byte is diffed byte for byte.
printf "FWCAP_DIS='2\0junk\nMD_SRC='ENCODER'\n" > nul.txt && cp nul.txt nulfix.txt && "$LINT" --fix nulfix.txt > /dev/null
(mkdir -p q && cd q && cp ../nul.txt . && "$LINT" --diff nul.txt > ../nul.diff; patch -sp1 < ../nul.diff && cmp -s nul.txt ../nulfix.txt) &&
    ok || bad "--diff of a line with a NUL byte does not apply with patch -p1"
# Named from the top of the work tree whatever path is typed (a .git marks one), else from here.
mkdir -p top/.git top/sub top/x ab/c a/bc && cp orig.txt top/sub/f.txt && cp orig.txt a/bc/f.txt
while read -r dir arg want; do
    check "--diff of $arg from $dir" "$(cd "$dir" && "$LINT" --diff "$arg" < "$WORK/orig.txt" | sed -n 2p)" "--- a/$want"
done <<EOF
top/x ../sub/f.txt sub/f.txt
/ $WORK/top/x/../sub//f.txt sub/f.txt
top/x $WORK/orig.txt ../../orig.txt
. top/../fix.txt fix.txt
ab/c $WORK/a/bc/f.txt ../../a/bc/f.txt
. - -
EOF
(cd top/x; "$LINT" --diff ../sub/f.txt > ../d; cd .. && patch -sp1 < d && cmp -s sub/f.txt ../fixed.want) && ok || bad "patch -p1"
check "--fix" "$(run "$LINT" --fix fix.txt)" "fix.txt:7:12: warning: 'two' is not a number: FWCAP_DIS becomes 0 [not-a-number]\n#1"
cmp -s fix.txt fixed.want && ok || bad "--fix wrote: $(cat fix.txt)"
cp orig.txt fix3.txt
if command -v strace >/dev/null && ! ldd "$LINT" >/dev/null 2>&1; then
    check "--fix, a rename that fails" "$(run strace -o /dev/null -e inject=rename:error=EIO "$LINT" --fix fix3.txt | head -1)" \
        "devcaplint: cannot write fix3.txt: Input/output error"
    cmp -s fix3.txt orig.txt && ok || bad "a failed --fix changed the file"
    ls .*.tmp >/dev/null 2>&1 && bad "a failed --fix left a temporary file" || ok
fi
check "--fix on standard input" "$(run "$LINT" --format=json --fix fix3.txt - < orig.txt; cmp fix3.txt orig.txt)" \
    "devcaplint: --fix rewrites files and - is standard input, which it cannot rewrite (--diff shows the fixes)\n#2"

# --- devcapdiff: the same record, each kind of change, trouble ---
cp ipcam.txt a.txt
# name | a change to ipcam.txt (sed) | status | standard output
while IFS='|' read -r name edit status want; do
    sed "$edit" ipcam.txt > b.txt
    check "devcapdiff: $name" "$(run "$DIFF" a.txt b.txt)" "$(printf '%b#%s' "$want" "$status")"
done <<'EOF'
case, order, comments, after EOF|s/Mega IP Camera/mega ip camera/; s/^# Maintainer.*/# new/; /^FWCAP_DIS/{h;d}; /^FWCAP_DOS/G; s/^EOF=''/&\nBOGUS='1'/|0|
a keyword|s/FWCAP_PLATFORM='A'/FWCAP_PLATFORM='K'/|1|FwDevCap.platform  FWCAP_PLATFORM  A -> K\n
a text the check refuses|s/FWCAP_DIS='2'/FWCAP_DIS='3'/|2|b.txt: DevCapDBCheckExtIO:Error. too many DIs (3)\n
a refused text|s/SENSOR_ID='MT9P031'/SENSOR_ID='XYZ'/|2|b.txt: Tex2BinSensorID:Error. Unknown Sensor ID 'XYZ'\nb.txt: DevCapTxtFile2Bin:Error. Unknown configuration SENSOR_ID='XYZ' ('SENSOR_ID='XYZ'\nb.txt: ')\n
EOF
check "devcapdiff: a refused text, standard output" "$("$DIFF" --json a.txt b.txt 2>/dev/null)" ""
# Records: changes that make the check fail, every failing rule shown.
patched() { cp BinFiles/ipcam.bin "$1" && printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null; }
# A field no entry sets, a code no keyword has, an entry left out: as devcapdump shows them, aligned.
patched odd.bin 12 '\2' && for at in 36:'\310' 80:'\0'; do printf "${at#*:}" | dd of=odd.bin bs=1 seek="${at%:*}" conv=notrunc 2>/dev/null; done
check "devcapdiff: no entry, no keyword, not given" "$(run "$DIFF" BinFiles/ipcam.bin odd.bin | sed 4q)" \
    "SBConf.head.ver  -                0x0001         -> 0x0002\nFwDevCap.type    FWCAP_UNIT_TYPE  Mega IP Camera -> 0xC8\nMdCap.MdSrc      MD_SRC           ENCODER        -> not given\n+ DevCapDBCheckSensorBoard:Error. sensor board ver '0x2'('0x0001')"
patched fails.bin 40 '\3' && printf 'F' | dd of=fails.bin bs=1 seek=72 conv=notrunc 2>/dev/null
check "devcapdiff: the check fails" "$(run "$DIFF" BinFiles/ipcam.bin fails.bin)" "FwDevCap.IO.DIs            FWCAP_DIS          2  -> 3\nDNCtrlCap.CdsDay2NightThd  CDS_DAY2NIGHT_THD  30 -> 70\n+ DevCapDBCheckExtIO:Error. too many DIs (3)\n+ DevCapDBCheckDNCtrl:Error. CDS THD 70 > 60\n#1"
cp BinFiles/ptz-dome.bin dome.bin
check "text against record" "$(run "$DIFF" ptz-dome.txt dome.bin)" "#0"
check "record against text, standard input" "$(run "$DIFF" -q dome.bin - < ipcam.txt)" "#1"
check "unreadable" "$(run "$DIFF" dome.bin missing.txt)" "devcapdiff: cannot read missing.txt: No such file or directory\n#2"
text=$("$DIFF" fails.bin ptz-dome.txt | tr -s ' ')
check "check lines that disappear" "$(grep -c '^- DevCapDBCheck' <<<"$text")" 2
check "--json holds the same changes" "$("$DIFF" --json fails.bin ptz-dome.txt | python3 -c '
import json, sys
d = json.load(sys.stdin)
for f in d["fields"]: print("%s %s %s -> %s" % (f["path"], f["entry"] or "-", f["a"], f["b"]))
for l in d["check"]["disappear"]: print("- " + l)
for l in d["check"]["appear"]: print("+ " + l)
print(d["a"], d["b"], d["same"])')" "$text
fails.bin ptz-dome.txt False"

# --- git: a record's field change in git diff and git log -p, the README's set-up ---
if command -v git >/dev/null; then
    mkdir repo && cd repo && git init -q && git config user.email t@t && git config user.name t
    export PATH=$DIR:$PATH
    echo '*.bin diff=devcap' > .gitattributes
    git config diff.devcap.textconv 'devcapdiff --textconv'
    echo 'caps/*.txt diff=devcaptext' >> .gitattributes
    git config diff.devcaptext.command 'f() { diff -u --label "a/$1" --label "b/$1" "$2" "$5"; devcapdiff "$@"; }; f'
    mkdir caps && cp ../ipcam.txt caps/ && cp ../BinFiles/ipcam.bin cam.bin && git add -A && git commit -qm one
    sed -i "s/ZOOM_CAP='None'/ZOOM_CAP='OPTICAL'/; s/ZOOM_LENS='None'/ZOOM_LENS='22x'/" caps/ipcam.txt
    (mkdir -p x/BinFiles && cd x && devcap2bin ../caps/ipcam.txt >/dev/null && cp BinFiles/ipcam.bin ../cam.bin)
    check "git diff, a record" "$(git diff cam.bin | grep '^[-+] ')" \
        "-    51    1 FwDevCap.PtzCap.ZoomCap         0x00               ZOOM_CAP='None'\n-    52    1 FwDevCap.PtzCap.ZoomLens        0x00               ZOOM_LENS='None'\n+    51    1 FwDevCap.PtzCap.ZoomCap         0x01               ZOOM_CAP='OPTICAL'\n+    52    1 FwDevCap.PtzCap.ZoomLens        0x02               ZOOM_LENS='22x'"
    check "git diff, a text" "$(git diff caps/ipcam.txt | grep -e '^devcapdiff' -e '  ZOOM')" "devcapdiff a/caps/ipcam.txt b/caps/ipcam.txt\nFwDevCap.PtzCap.ZoomCap   ZOOM_CAP   None -> OPTICAL\nFwDevCap.PtzCap.ZoomLens  ZOOM_LENS  None -> 22x"
    git commit -qam two
    check "git log -p" "$(git log -p -1 cam.bin | grep '^+ .*ZoomLens')" \
        "+    52    1 FwDevCap.PtzCap.ZoomLens        0x02               ZOOM_LENS='22x'"
    cd ..
fi
finish
