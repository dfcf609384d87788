#!/usr/bin/env bash
# devcap2bin end to end: arguments, exit statuses, messages, files, faults.
# usage: e2e.sh path/to/devcap2bin path/to/examples
BIN=$(realpath "$1")
EXAMPLES=$(realpath "$2")
EXPECTED=$(dirname "$(realpath "$0")")/expected
source "$(dirname "$(realpath "$0")")/lib.sh"

# run NAME STATUS STDOUT ARGS...: runs the converter, compares status and the
# whole of stdout, given with \n escapes; "@ok:PATH" is the success report.
run() {
    local name=$1 status=$2 want got
    case $3 in @ok:*) want=$'\n'"DevCapOtuputBinFile: output binary file to ${3#@ok:}"$'\n\n' ;; *) want=$(printf '%b#' "$3") && want=${want%#} ;; esac
    shift 3
    got=$("$BIN" "$@"; printf '#%d' $?)
    [ "${got##*#}" = "$status" ] && [ "${got%#*}" = "$want" ] && ok || { bad "$name"; diff <(printf '%s' "$want") <(printf '%s' "${got%#*}") | head -20; }
}
# The bytes of tests/expected/NAME.hex: after each line's offset, 120 in all.
expected_hex() { awk '/^#/ || NF == 0 { next } { for (i = 2; i <= NF; i++) printf "%s", $i }' "$1"; }
cp "$EXAMPLES/ipcam.txt" keep.txt
mkdir BinFiles

# --- the command line, the examples, refusals: no file, an earlier one untouched ---
run "no argument" 1 "$BIN usage\n./$BIN <device capability text file>\n"
run "missing input" 1 "DevCapTxtFile2Bin:Error. open nofile.txt file\n" nofile.txt
for name in ipcam ptz-dome video-server; do
    run "example $name" 0 "@ok:BinFiles/$name.bin" "$EXAMPLES/$name.txt"
    want=$(expected_hex "$EXPECTED/$name.hex")
    [ ${#want} = 240 ] && [ "$(hex_of "BinFiles/$name.bin")" = "$want" ] && ok || bad "example $name: bytes differ"
done
printf 'old record' > BinFiles/bad.bin
touch -d '2001-01-01' BinFiles/bad.bin
{ printf "BOGUS='1'\n"; cat keep.txt; } > bad.txt
run "unknown entry" 1 "DevCapTxtFile2Bin:Error. Unknown configuration BOGUS='1' ('BOGUS='1'\n')\n" bad.txt
[ "$(cat BinFiles/bad.bin)" = "old record" ] && [ "$(stat -c %Y BinFiles/bad.bin)" = "$(date -d 2001-01-01 +%s)" ] \
    && ok || bad "a failed run touched the earlier output"
printf "EOF=''\n" > empty.txt
run "check fails" 1 "DevCapDBCheckSensorBoard:Error. no video frond-end\n" empty.txt
mkdir indir.txt
run "input is a directory" 1 "DevCapTxtFile2Bin:Error. read indir.txt file\n" indir.txt
[ ! -e BinFiles/nofile.bin ] && [ ! -e BinFiles/empty.bin ] && [ ! -e BinFiles/indir.bin ] && ok || bad "a refusal wrote a file"

# --- the output cannot be opened or written ---
mkdir nobin && cd nobin && run "BinFiles missing" 1 "DevCapOtuputBinFile:Error: open BinFiles/keep.bin to write the device capability\n" ../keep.txt
cd ..
mkdir BinFiles/dirout.bin && cp keep.txt dirout.txt
run "output is a directory" 1 "DevCapOtuputBinFile:Error: open BinFiles/dirout.bin to write the device capability\n" dirout.txt
ln -s /dev/full BinFiles/full.bin && cp keep.txt full.txt
run "output on a full device" 1 "DevCapOtuputBinFile:Error. write BinFiles/full.bin file\n" full.txt
[ -L BinFiles/full.bin ] && ok || bad "the link to the device was removed"
# The output is replaced whole or not at all. Each fault: how the run is
# started; the earlier record must stay byte for byte, and no temporary file
# may be left.
printf '#!/usr/bin/env bash\ntrap "" XFSZ\nulimit -f 0\nexec "$@"\n' > limited
chmod +x limited
faults=("$WORK/limited")
# The syscall counts below are those of the static program; a sanitizer build
# loads libraries (and LeakSanitizer refuses ptrace).
static=no
ldd "$BIN" >/dev/null 2>&1 || static=yes
if command -v strace >/dev/null && [ $static = yes ]; then
    for inject in write:error=ENOSPC:when=1 fsync:error=EIO:when=1 close:error=EIO:when=2 rename:error=EXDEV:when=1; do
        faults+=("strace -o /dev/null -e inject=$inject")
    done
else
    echo "note: strace missing or a dynamic build: injected write, fsync, close and rename faults not run"
fi
for fault in "${faults[@]}"; do
    printf 'old record' > BinFiles/keep.bin
    [ "$($fault "$BIN" keep.txt; printf '#%d' $?)" = $'DevCapOtuputBinFile:Error. write BinFiles/keep.bin file\n#1' ] \
        && [ "$(cat BinFiles/keep.bin)" = "old record" ] && ok || bad "$fault: the earlier record changed, or the message"
    ls BinFiles/.*.tmp >/dev/null 2>&1 && bad "$fault: a temporary file was left" || ok
done
# No file can be made beside it (its second open refused: the first is the text's): written in
# place, and a failure puts the old bytes back.
if command -v strace >/dev/null && [ $static = yes ]; then
    beside="strace -o /dev/null -e inject=openat:error=EACCES:when=2"
    for fault in "$WORK/limited $beside" "$beside -e inject=write:error=ENOSPC:when=1" "$beside -e inject=fsync:error=EIO:when=1"; do
        printf 'old record' > BinFiles/keep.bin
        [ "$($fault "$BIN" keep.txt; printf '#%d' $?)" = $'DevCapOtuputBinFile:Error. write BinFiles/keep.bin file\n#1' ] \
            && [ "$(cat BinFiles/keep.bin)" = "old record" ] && ok || bad "in place, $fault: the earlier record changed, or the message"
    done
    $beside "$BIN" keep.txt >/dev/null && cmp -s BinFiles/keep.bin BinFiles/ipcam.bin && ok || bad "in place: the record"
fi
# The directory cannot be synced after the rename: the record is whole, but
# not known to be on the disk, and the run says so.
if command -v strace >/dev/null && [ $static = yes ]; then
    got=$(strace -o /dev/null -e inject=fsync:error=EIO:when=2 "$BIN" keep.txt; printf '#%d' $?)
    [ "$got" = $'DevCapOtuputBinFile:Error. write BinFiles/keep.bin file\n#1' ] && cmp -s BinFiles/keep.bin BinFiles/ipcam.bin \
        && ok || bad "directory sync: $got"
fi

# --- what is written over: its mode, a link, special files ---
printf 'old record' > BinFiles/keep.bin && chmod 640 BinFiles/keep.bin
run "overwrite" 0 "@ok:BinFiles/keep.bin" keep.txt
cp keep.txt fresh.txt && run "standard input closed: a new record gets descriptor 0" 0 "@ok:BinFiles/fresh.bin" fresh.txt <&-
[ "$(stat -c %a BinFiles/keep.bin)" = 640 ] && cmp -s BinFiles/keep.bin BinFiles/ipcam.bin && ok || bad "overwrite"
rm BinFiles/keep.bin
(umask 027 && "$BIN" keep.txt >/dev/null)
[ "$(stat -c %a BinFiles/keep.bin)" = 640 ] && ok || bad "new file mode $(stat -c %a BinFiles/keep.bin), want 640"
mkdir -p store && ln -s ../store/linked.bin BinFiles/linked.bin && printf 'old' > store/linked.bin && cp keep.txt linked.txt
run "link to a file" 0 "@ok:BinFiles/linked.bin" linked.txt
[ -L BinFiles/linked.bin ] && cmp -s store/linked.bin BinFiles/ipcam.bin && ok || bad "link to a file: the link stays"
ln -s /dev/null BinFiles/null.bin && cp keep.txt null.txt
run "link to /dev/null" 0 "@ok:BinFiles/null.bin" null.txt
mkfifo BinFiles/fifo.bin && cp keep.txt fifo.txt
exec 3<>BinFiles/fifo.bin  # holds the pipe open: the record waits in it
run "FIFO" 0 "@ok:BinFiles/fifo.bin" fifo.txt
timeout 5 head -c 120 <&3 > fifo.out
exec 3<&-
cmp -s fifo.out BinFiles/ipcam.bin && [ -p BinFiles/fifo.bin ] && ok || bad "FIFO bytes"

# --- base names of every length: "BinFiles/" + base + ".bin" holds at most 255
# characters, so 242 is the longest base; with and without an earlier record ---
for n in 1 200 236 237 238 239 240 241 242 243; do
    base=$(head -c "$n" /dev/zero | tr '\0' x)
    cp keep.txt "$base.txt"
    for earlier in no yes; do
        rm -f "BinFiles/$base.bin"
        [ $earlier = yes ] && printf 'old record' > "BinFiles/$base.bin"
        if [ "$n" -le 242 ]; then
            run "base name of $n, earlier record: $earlier" 0 "@ok:BinFiles/$base.bin" "$base.txt"
            cmp -s "BinFiles/$base.bin" BinFiles/ipcam.bin && ok || bad "base name of $n: bytes differ"
        else
            run "base name of $n, earlier record: $earlier" 1 "DevCapOutputName:Error. output file name for $base.txt is longer than 255 characters\n" "$base.txt"
            [ $earlier = no ] || [ "$(cat "BinFiles/$base.bin")" = "old record" ] && ok || bad "base name of $n: earlier record changed"
        fi
    done
    ls BinFiles/.*.tmp >/dev/null 2>&1 && bad "base name of $n: a temporary file was left" || ok
    rm -f "$base.txt" "BinFiles/$base.bin"
done

# --- a reader polling the record while writers rewrite it sees 120 bytes ---
cp keep.txt race.txt
"$BIN" race.txt >/dev/null
for w in 1 2; do (for i in $(seq 150); do "$BIN" race.txt >/dev/null; done) & done
sizes=$(for i in $(seq 1500); do stat -c %s BinFiles/race.bin 2>/dev/null || echo missing; done | sort | uniq -c)
wait
[ "$(awk '{print $2}' <<<"$sizes")" = 120 ] && ok || bad "a reader saw: $sizes"
cmp -s BinFiles/race.bin BinFiles/ipcam.bin && ok || bad "two writers left a bad record"

# --- a file read in blocks: 100 KB lines arrive in pieces; no final line end ---
{ head -c 102400 /dev/zero | tr '\0' '#'; printf '\n'; head -c 102400 /dev/zero | tr '\0' 'x'; printf '\n';
  grep -v -e '^EOF' -e '^$' keep.txt; } | head -c -1 > huge.txt
[ "$(tail -c 1 huge.txt)" = "'" ] || bad "huge.txt should end without a line end"
run "100 KB lines, no final line end" 0 "@ok:BinFiles/huge.bin" huge.txt
cmp -s BinFiles/huge.bin BinFiles/ipcam.bin && ok || bad "long lines changed the record"
finish
