#!/usr/bin/env bash
# devcapfleet: its tables against devcapdump --json, incremental counts, each
# bad input, a killed run and a failed write, rules, --diff, and the README's
# examples run as written. Unreadable and read-only folders need a user that
# permissions hold: as root the script runs itself as nobody.
# usage: fleet.sh directory-of-the-programs source-dir
nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups --reset-env env FLEET_AS_NOBODY=1 PATH="$PATH" HOME=/tmp "$@"; }
if [ "$(id -u)" = 0 ] && [ -z "${FLEET_AS_NOBODY:-}" ] && command -v setpriv >/dev/null &&
    nobody test -x "$1/devcapfleet" -a -r "$2/README.md" -a -r "$(realpath "$0")"; then
    nobody bash "$(realpath "$0")" "$@"
    exit
fi
DIR=$(realpath "$1")
SRC=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/lib.sh"
FLEET=$DIR/devcapfleet
command -v sqlite3 >/dev/null || { echo "SKIPPED: the sqlite3 shell is missing (package sqlite3)"; exit 77; }
mkdir line BinFiles && cp "$SRC"/examples/*.txt line/
for t in line/*.txt; do "$DIR/devcap2bin" "$t" >/dev/null; done
# run ARGS...: the fleet's output (both streams), then #status.
run() { "$FLEET" "$@" 2>&1; printf '#%d' $?; }
quiet() { "$FLEET" "$@" 2>/dev/null; printf '#%d' $?; }
# hold SECONDS DB: another writer holds DB's write lock for SECONDS, from the moment this returns
# (waiting for the lock itself, not for a guess of how long starting sqlite3 takes on a busy machine).
hold() {
    rm -f held
    (echo 'BEGIN IMMEDIATE;'; echo '.shell touch held'; sleep "$1") | sqlite3 "$2" &
    until [ -e held ]; do sleep 0.05; done
}

# --- the tables' contract: fields as devcapdump --json has them, the record
# and hash as the file holds them, the view as --csv and --json print it ---
check "index" "$(run -o f.db line BinFiles)" "added 6, changed 0, removed 0, unchanged 0\n#0"
check "contract" "$(python3 - "$DIR/devcapdump" "$FLEET" <<'EOF'
import csv, hashlib, io, json, os, sqlite3, subprocess, sys
db = sqlite3.connect("f.db")
bad = []
for name in ("ipcam", "ptz-dome", "video-server"):
    dump = json.loads(subprocess.run([sys.argv[1], "--json", f"BinFiles/{name}.bin"], capture_output=True).stdout)
    want = sorted((f["path"], f["value"], f["text"]) for f in dump["fields"])
    for file, kind in ((f"line/{name}.txt", "text"), (f"BinFiles/{name}.bin", "record")):
        got = sorted(db.execute("SELECT path, value, text FROM fields WHERE file = ?", (file,)))
        row = db.execute("SELECT kind, status, size, mtime_ns, sha256, record FROM devices WHERE file = ?", (file,)).fetchone()
        data, st = open(file, "rb").read(), os.stat(file)
        record = open(f"BinFiles/{name}.bin", "rb").read()
        if got != want or row != (kind, "ok", st.st_size, st.st_mtime_ns, hashlib.sha256(data).hexdigest(), record):
            bad.append(file)
wide = db.execute("SELECT * FROM wide ORDER BY file")
names = [d[0] for d in wide.description]
rows = [dict(zip(names, r)) for r in wide]
out = lambda *a: subprocess.run([sys.argv[2], *a, "line", "BinFiles"], capture_output=True, text=True).stdout
as_csv = [{k: "" if v is None else str(v) for k, v in r.items()} for r in rows]
if list(csv.DictReader(io.StringIO(out("--csv")))) != as_csv: bad.append("--csv")
if json.loads(out("--json")) != rows: bad.append("--json")
print(len(names), rows[0]["FwDevCap.type"], bad)
EOF
)" "59 Mega IP Camera []"
# SHA-256 across its block edges, against the system's
mkdir sha && for n in 0 1 55 56 63 64 65 119 121 1000; do head -c $n /dev/urandom | tr '\0' x > sha/f$n; done
"$FLEET" -o sha.db sha >/dev/null
check "SHA-256" "$(sqlite3 sha.db 'SELECT sha256, file FROM devices' | sed 's/|/  /' | sha256sum -c --quiet && echo same)" "same"

# --- incremental: added, changed, touched without a change, removed ---
cp line/ipcam.txt line/new.txt
touch -d '2001-01-01' line/ptz-dome.txt
sed -i "s/FWCAP_DIS='2'/FWCAP_DIS='1'/" line/ipcam.txt
rm BinFiles/ipcam.bin
check "second run" "$(run -o f.db line BinFiles)" "added 1, changed 1, removed 1, unchanged 4\n#0"
check "re-read" "$(sqlite3 f.db "SELECT value FROM fields WHERE file = 'line/ipcam.txt' AND path = 'FwDevCap.IO.DIs'; SELECT count(*) FROM fields WHERE file = 'BinFiles/ipcam.bin'")" "1\n0"
check "nothing changed" "$(run -o f.db line BinFiles)" "added 0, changed 0, removed 0, unchanged 6\n#0"
check "fewer paths" "$(run -o f.db line)" "added 0, changed 0, removed 2, unchanged 4\n#0"
check "a folder's slash" "$(run -o f.db line/)" "added 0, changed 0, removed 0, unchanged 4\n#0"
hold 1 f.db
check "a short lock waited for" "$(run -o f.db line)" "added 0, changed 0, removed 0, unchanged 4\n#0"
wait
# Progress is for a terminal: a thousand files into a pipe give the summary alone.
mkdir many && (cd many && touch $(seq 1000))
check "no progress into a pipe" "$(run -o m.db many | od -c | grep -c '\\r')" "0"
# The index and its journal in the folder walked are no devices; another -journal is.
mkdir own && cp line/ipcam.txt own/x && cp line/ipcam.txt own/x-journal
check "the index walked" "$(run -o own/f.db own; sqlite3 own/f.db 'SELECT file FROM devices')" \
    "added 2, changed 0, removed 0, unchanged 0\n#0own/x\nown/x-journal"

# --- bad input: one line, a status, nothing already indexed lost ---
# name | set-up | arguments | status | the line | devices ok after
nobody=$([ "$(id -u)" != 0 ] && echo yes)
while IFS='|' read name setup args status line after; do
    [ -n "$name" ] || continue
    [ "$name" != "${name#root:}" ] && { [ -n "$nobody" ] || continue; name=${name#root:}; }
    chmod -R u+rwx case 2>/dev/null; rm -rf c.db case && mkdir case && "$FLEET" -o c.db line case >/dev/null && eval "$setup" && cp c.db before.db
    got=$(eval "\"\$FLEET\" -o c.db $args" 2>&1 >/dev/null; printf '#%d' $?)
    check "$name" "$got" "devcapfleet: $line\n#$status"
    if [ "$status" = 2 ]; then cmp -s c.db before.db && ok || bad "$name: the database changed"; fi
    [ -z "$after" ] || [ "$(sqlite3 c.db "SELECT count(*) FROM devices WHERE status = 'ok'")" = "$after" ] \
        || bad "$name: not $after devices"
done <<'EOF'
neither|head -c 50 /dev/zero > case/blob.bin|line case|1|case/blob.bin: neither capability text nor a 120-byte record (it holds NUL bytes)|4
vanished|ln -s gone case/gone.txt|line case|1|cannot read case/gone.txt: No such file or directory|4
root:unreadable folder|cp line/ipcam.txt case/x.txt && $FLEET -o c.db line case >/dev/null && chmod 000 case|line case|1|cannot read folder case: Permission denied (what the index holds of it is kept)|5
symlink loop|ln -s . case/self|line case|1|case/self: a symlink loop (a folder inside itself): not followed|4
given twice|:|line case line/ipcam.txt|1|line/ipcam.txt given twice: indexed once|4
spelt twice|ln -s ../line/ipcam.txt case/twin.txt|line case|1|case/twin.txt is line/ipcam.txt: indexed once|4
no value|:|line -o|2|-o needs a value|4
no index|:|--csv line|2|--csv and --json alone write no index: -o has no place|4
one base name|cp line/ptz-dome.txt case/|line case|1|line/ptz-dome.txt and case/ptz-dome.txt both become BinFiles/ptz-dome.bin|5
a bad path|:|line missing|2|cannot read missing: No such file or directory (nothing changed)|4
not a database|echo junk > c.db|line|2|c.db: file is not a database|
not ours|rm c.db && sqlite3 c.db 'CREATE TABLE t(x)'|line|2|c.db: not a devcapfleet index (left as it is)|
locked|hold 3 c.db|line|2|c.db: database is locked|4
root:read-only folder|mkdir ro && chmod 555 ro|-o ro/c.db line|2|cannot open ro/c.db: Permission denied|4
EOF
wait
[ -n "$nobody" ] || echo "SKIPPED: unreadable and read-only folders (root, and nobody cannot reach the build)"

# --- a killed run (blocked on a FIFO after a changed file) and a failed write leave the database ---
sqlite3 f.db .dump > before.sql
sed -i "s/FWCAP_DIS='1'/FWCAP_DIS='2'/" line/ipcam.txt && mkfifo slow
"$FLEET" -o f.db line slow >/dev/null 2>&1 &
sleep 0.5 && kill -9 $! && wait $! 2>/dev/null
check "killed" "$(sqlite3 f.db .dump | cmp - before.sql && echo intact)" "intact"
if command -v strace >/dev/null; then  # LeakSanitizer cannot run under a tracer
    full() { ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e inject=pwrite64:error=ENOSPC:when=3+ "$@"; }
    check "disk full" "$(full "$FLEET" -o f.db line 2>&1; echo "#$?")" \
        "devcapfleet: f.db: database or disk is full\n#2"
    check "after the full disk" "$(sqlite3 f.db .dump | cmp - before.sql && echo intact)" "intact"
fi
# Memory running out (a file larger than the run may hold): one line, status 2, the index as it was (not under ASan).
if (ulimit -v 100000 && "$FLEET" --version) >/dev/null 2>&1 && mkdir big && truncate -s 512M big/huge.txt; then
    check "out of memory" "$( (ulimit -v 100000 && "$FLEET" -o f.db line big) 2>&1; echo "#$?"; sqlite3 f.db .dump | cmp - before.sql)" \
        "devcapfleet: out of memory\n#2"
fi

# --- rules: a passing one, a failing one, then a bad query and a write ---
printf -- "-- name: every unit has a type\nSELECT file FROM wide WHERE \"FwDevCap.type\" IS NULL;\n-- name: no dome pans \t\r\nSELECT file FROM wide WHERE \"FwDevCap.type\" LIKE '%%Dome%%'\n  AND \"FwDevCap.PtzCap.PTEnable\" = 1;\n" > rules.sql
check "a finding" "$(quiet --check rules.sql -o f.db line)" "line/ptz-dome.txt: no dome pans\n#1"
check "--json" "$("$FLEET" --check rules.sql -o f.db line --json 2>/dev/null | python3 -c 'import json,sys; print(json.load(sys.stdin))')" \
    "[{'file': 'line/ptz-dome.txt', 'rule': 'no dome pans'}]"
check "no finding" "$(quiet --check rules.sql -o f.db line/ipcam.txt)" "#0"
check "--fields" "$(run --csv --fields FwDevCap.type,nope line)" "devcapfleet: --fields: no field 'nope' (devcapdump --layout lists them)\n#2"
# Misuse names itself before the usage text: ARGS|reason.
for row in "|no PATH given" "--csv --json line|--csv and --json exclude each other" \
    "--csv --check rules.sql line|--csv and --check exclude each other" "--diff --csv a b|--diff takes neither --csv nor --check" \
    "--diff line|--diff compares two indexes or two folders" "--fields FwDevCap.type line|--fields chooses the columns of --csv or --json"; do
    out=$(run ${row%%|*})
    check "misuse: ${row%%|*}" "$(head -1 <<<"$out")#${out##*#}" "devcapfleet: ${row#*|}#2"
done
check "no rules file" "$(run --check missing.sql -o f.db line)" "devcapfleet: cannot read missing.sql: No such file or directory\n#2"
printf -- "-- name: typo\nSELEC file;\n-- name: writes\nDELETE FROM devices;\n" > bad.sql
cp f.db keep.db
check "refused queries" "$(run --check bad.sql -o f.db line BinFiles; cmp f.db keep.db)" \
    "devcapfleet: bad.sql: rule 'typo': near \"SELEC\": syntax error\ndevcapfleet: bad.sql: rule 'writes': attempt to write a readonly database\n#2"

# --- --diff: the same, different, trouble ---
mkdir old && cp line/*.txt old/ && rm old/new.txt && sed -i "s/'Mega IP Camera'/'IP Camera'/" old/ipcam.txt
printf "FWCAP_UNIT_TYPE='x'\n" > old/video-server.txt
check "diff" "$(run --diff old line)" "changed: ipcam.txt\n    FwDevCap.type  FWCAP_UNIT_TYPE  IP Camera -> Mega IP Camera\nappeared: new.txt\nchanged: video-server.txt (refused -> ok)\n#1"
check "diff as JSON" "$("$FLEET" --diff --json old line | python3 -c 'import json, sys; t = sys.stdin.read()
print([(c["change"], c["file"], c["diff"] and c["diff"]["same"]) for c in json.loads(t)["changes"]], t.count("\"diff\": {\n"), t.count("\n}},"))')" \
    "[('changed', 'ipcam.txt', False), ('appeared', 'new.txt', None), ('changed', 'video-server.txt', None)] 1 1"
"$FLEET" -o f.db line >/dev/null && "$FLEET" -o g.db line >/dev/null
check "same" "$(run --diff f.db g.db)" "#0"
check "trouble" "$(run --diff f.db missing.db | tail -c 2)" "#2"

# --- the README's devcapfleet examples, each command with its output ---
mkdir readme && cd readme && ln -s "$DIR" build && cp -r "$SRC/examples" .
awk '/^## devcapfleet/ {on = 1; next} /^## / {on = 0} on && /^    / {print substr($0, 5)} on && /^$/ {print ""}' "$SRC/README.md" > blocks
cmd= want= doc=
flush() { [ -z "$cmd" ] || check "README: $cmd" "$(PATH=$DIR:$PATH bash -c "$cmd" 2>&1)" "${want%\\n}"; cmd= want=; }
while IFS= read -r line; do
    if [ -n "$doc" ]; then cmd+=$'\n'$line; [ "$line" = EOF ] && doc=; continue; fi
    case $line in
        '$ '*) flush; cmd=${line#\$ }; [[ $cmd == *"<<'EOF'" ]] && doc=1 ;;
        '') flush ;;
        *) [ -z "$cmd" ] || want+="${line//\\/\\\\}\n" ;;
    esac
done < blocks
flush
for f in $(ls -p | grep -vxe build -e examples/ -e blocks); do  # what they make in a clone, git ignores
    grep -qxF "/$f" "$SRC/.gitignore" && ok || bad "README: $f left in a clone, not in .gitignore"; done
finish
