#!/usr/bin/env bash
# Starts the program from its own program folder run/ (beside build/, ignored by git), where it keeps its
# task list and options: `make clean` removes build/ only, so the tasks survive a clean build. Without a
# graphical session it explains how to see the window instead, with commands that carry out nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
    cat <<'MSG'
Vantor is a desktop program and needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set).
To see its window without a display, render it into a picture (--dry-run: no task can act on this
computer, every action is only printed):

    QT_QPA_PLATFORM=offscreen run/vantor --dry-run --screenshot vantor.png

or run it inside a virtual display:

    xvfb-run -a run/vantor --dry-run
MSG
    mkdir -p run
    cp -p build/vantor run/vantor
    exit 0
fi

# The program file is refreshed from the build; vntask.vnt and Setting.ini beside it stay.
mkdir -p run
cp -p build/vantor run/vantor
exec run/vantor "$@"
