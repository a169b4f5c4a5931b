#!/usr/bin/env bash
# Starts the program from the build folder, or explains how to see it when there is no graphical session.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
    cat <<'MSG'
Vantor is a desktop program and needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set).
To see its window without a display, render it into a picture:

    QT_QPA_PLATFORM=offscreen build/vantor --screenshot vantor.png

or run it inside a virtual display:

    xvfb-run -a build/vantor
MSG
    exit 0
fi

exec build/vantor "$@"
