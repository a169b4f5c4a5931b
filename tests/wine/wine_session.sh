#!/usr/bin/env bash
# Sets up and ends the Wine session the Windows tests of a build tree share: a Wine prefix inside the
# build tree (created once, a few seconds), a virtual X display of its own and a wine server that stays up
# while the tests run, so each test starts in a fraction of a second.
# Usage: wine_session.sh start|stop SESSION_DIR
set -euo pipefail
action="$1"
session="$(realpath -m "$2")"
mkdir -p "$session"

find_loader() {
    local candidate
    for candidate in "${VANTOR_WINE:-}" /usr/lib/wine/wine64 "$(command -v wine64 || true)" \
        "$(command -v wine || true)"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ]; then
            echo "$candidate"
            return 0
        fi
    done
    echo "Wine is not installed (Debian package wine64): the Windows tests cannot run." >&2
    return 1
}

# Ends what an earlier session of this tree left running, by the ids it recorded.
stop_session() {
    if [ -f "$session/loader" ] && [ -d "$session/prefix" ]; then
        local server
        server="$(dirname "$(cat "$session/loader")")/wineserver"
        WINEPREFIX="$session/prefix" "$server" -k 2>/dev/null || true
        WINEPREFIX="$session/prefix" timeout 30 "$server" -w 2>/dev/null || true
    fi
    if [ -f "$session/xvfb.pid" ]; then
        kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
        rm -f "$session/xvfb.pid" "$session/display"
    fi
}

case "$action" in
start)
    stop_session
    loader="$(find_loader)"
    echo "$loader" >"$session/loader"
    # A display of its own, numbered by the X server itself so that parallel test runs never collide.
    display_file="$session/display.new"
    rm -f "$display_file"
    setsid Xvfb -displayfd 4 -screen 0 1280x1024x24 -nolisten tcp 4>"$display_file" </dev/null \
        >/dev/null 2>&1 &
    echo $! >"$session/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    [ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
    echo ":$(head -n1 "$display_file")" >"$session/display"
    rm -f "$display_file"

    export WINEPREFIX="$session/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    DISPLAY="$(cat "$session/display")"
    export DISPLAY
    wineserver="$(dirname "$loader")/wineserver"
    [ -x "$wineserver" ] || wineserver="$(command -v wineserver)"
    # The server stays up between the tests and ends by itself a minute after the last one.
    mkdir -p "$WINEPREFIX"
    # (A server that is still up from a program of an earlier run keeps its own, shorter, persistence.)
    "$wineserver" -p60 </dev/null >/dev/null 2>&1 || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix $WINEPREFIX"
        "$loader" wineboot -i >/dev/null 2>&1
    else
        # Brings up the prefix's services, which every later program would otherwise wait for.
        "$loader" cmd /c ver >/dev/null 2>&1
    fi
    echo "Wine session ready on display $DISPLAY"
    ;;
stop)
    stop_session
    ;;
*)
    echo "usage: $0 start|stop SESSION_DIR" >&2
    exit 2
    ;;
esac
