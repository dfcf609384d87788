# Shared set-up of the shell tests: a scratch directory to work in, and the
# counting of checks. Sourced; the caller's arguments are its own.
set -u
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
pass=0
fail=0
ok() { pass=$((pass + 1)); }
bad() { fail=$((fail + 1)); printf 'FAIL: %s\n' "$1"; }
# check NAME GOT WANT: compares two texts; WANT is given with \n escapes.
check() { local want; want=$(printf '%b#' "$3"); want=${want%#}; [ "$2" = "$want" ] && ok || { bad "$1"; printf ' got: %s\nwant: %s\n' "$2" "$want"; }; }
# hex_of FILE: the file's bytes as one hex string.
hex_of() { od -An -tx1 -v "$1" | tr -d ' \n'; }
finish() { printf '%d passed, %d failed\n' "$pass" "$fail"; [ "$fail" -eq 0 ]; }
