#!/usr/bin/env bash
# Runs a GUI test on a display of its own: an Xvfb screen of the given size managed by openbox, so the
# window states the test reads back are the ones a window manager keeps.
#   on_display.sh WIDTHxHEIGHT TEST [ARGS...]
set -euo pipefail

size="$1"
shift
for tool in Xvfb openbox xmessage xdotool xprop xwininfo; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done
source "$(dirname "$0")/own_display.sh"

wm=""
probe=""
# openbox as installed, without its iconify animation: for a moment the animation moves a minimised
# window about, and a test that withdraws the window then would see it depend on the machine's speed.
config="$(mktemp)"
trap 'kill $wm $probe 2>/dev/null || true; stop_display; rm -f "$config"' EXIT
sed 's|<animateIconify>yes</animateIconify>|<animateIconify>no</animateIconify>|' /etc/xdg/openbox/rc.xml >"$config"
start_display "$size"
openbox --sm-disable --config-file "$config" &
wm=$!
# openbox announces itself before it manages windows, and a window mapped in between stays unmapped: wait
# until a probe window really shows.
managed=""
for attempt in 1 2 3 4 5 6 7 8 9 10; do
    xmessage -title vantor-wm-probe probe &
    probe=$!
    for wait in 1 2 3 4 5 6 7 8 9 10; do
        if xdotool search --onlyvisible --name '^vantor-wm-probe$' >/dev/null 2>&1; then
            managed=1
            break
        fi
        sleep 0.1
    done
    kill $probe 2>/dev/null || true
    wait $probe 2>/dev/null || true
    probe=""
    [ -z "$managed" ] || break
done
[ -n "$managed" ] || { echo "openbox did not take over the display"; exit 1; }

"$@"
