#!/usr/bin/env bash
# Runs a Windows program under wine, in a wine prefix of its own that is
# made once (under a lock, as tests run in parallel), without wine's debug
# lines.
set -eu
export WINEDEBUG=-all
export WINEPREFIX=${TONALYX_WINEPREFIX:-${TMPDIR:-/tmp}/tonalyx-wine-$(id -u)}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
    ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
