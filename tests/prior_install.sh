#!/usr/bin/env bash
# An install already under /usr/local survives CI's Python step (.ci/python) byte for byte.
# /usr/local is a tmpfs of this test's own mount namespace: the real one is untouched.
# usage: prior_install.sh SOURCE-DIR BUILD-DIR
set -eu
[ -n "${PRIOR_INSTALL_NS:-}" ] || { unshare -m true 2>/dev/null || { echo "skipped: root only"; exit 77; }
    PRIOR_INSTALL_NS=1 exec unshare -m bash "$0" "$@"; }
mount -t tmpfs prior /usr/local && mkdir -p "$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_path("purelib"))')"
# Every file of it differs from what CI would put there, so an overwrite shows too.
cmake --install "$2" --prefix /usr/local >/dev/null && find /usr/local -type f -exec sh -c 'echo prior >>"$1"' _ {} \;
snapshot() { (cd /usr/local && find . -printf '%p %y %m %l\n' | sort && find . -type f -exec sha256sum {} + | sort); }
before=$(snapshot) && "$1/.ci/python" "$2" >/dev/null
diff <(echo "$before") <(snapshot) && echo "the install under /usr/local is as it was"
