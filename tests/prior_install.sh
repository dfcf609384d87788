#!/usr/bin/env bash
# An install already under /usr/local stays byte for byte as it was through
# CI's Python step (.ci/python), the one that installs for the system's python3.
# /usr/local is a tmpfs in this test's own mount namespace: the machine's real
# one is neither read nor written.
# usage: prior_install.sh SOURCE-DIR BUILD-DIR
set -eu
if [ -z "${PRIOR_INSTALL_NS:-}" ]; then
    unshare -m true 2>/dev/null || { echo "skipped: no mount namespace here (root only)"; exit 77; }
    PRIOR_INSTALL_NS=1 exec unshare -m bash "$0" "$@"
fi
mount -t tmpfs prior /usr/local
# The directory Debian's python3 reads under /usr/local, as a fresh machine has it.
mkdir -p "$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_path("purelib"))')"
cmake --install "$2" --prefix /usr/local >/dev/null
# Every file differs from what CI would put there, so an overwrite shows too.
find /usr/local -type f -exec sh -c 'echo prior >>"$1"' _ {} \;
snapshot() { (cd /usr/local && find . -printf '%p %y %m %l\n' | sort && find . -type f -exec sha256sum {} + | sort); }
before=$(snapshot)
"$1/.ci/python" "$2" >/dev/null
[ "$(snapshot)" = "$before" ] && echo "the install under /usr/local is as it was" ||
    { echo "FAIL: CI changed /usr/local:"; diff <(echo "$before") <(snapshot); exit 1; }
