#!/usr/bin/env bash
# Runs a Windows executable under Wine in the test session that wine_session.sh started for this build
# tree: its own Wine prefix and virtual display, quiet, without the .NET and HTML engines.
# Usage: wine_run.sh SESSION_DIR PROGRAM.exe [ARGS...]
set -euo pipefail
session="$(realpath -m "$1")"
shift
export WINEPREFIX="$session/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$session/display" ]; then
    DISPLAY="$(cat "$session/display")"
    export DISPLAY
fi
exec "$(cat "$session/loader")" "$@"
