#!/usr/bin/env bash
# Two starts of the real program in one folder, on an X display with a window manager: the second start
# brings the running copy's window back from where it was put away and ends; an empty lock file (what a
# power cut leaves) and the lock of a copy killed with -9 do not stop a start; a link planted where the
# second start once left its request file is never written through.
set -euo pipefail

program="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
    exec 2>/dev/null # no word from the shell about the copies it ends here
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
# The copies meet in a private folder of this test's own.
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# A display of its own (the number Xvfb picks is written to a file) and a window manager on it.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done

app="$work/app"
mkdir -p "$app"
cp "$program" "$app/vantor"
printf '%s\r\n' 'True;;10分0秒;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,' \
    >"$app/vntask.vnt"
# Put away at start-up (no notification area on this display: minimised), the task list not run.
printf '[Setting]\r\nTray=1\r\nWork=0\r\n' >"$app/Setting.ini"

# $1 seconds, then the command: true once the command succeeds within that time.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}
window_of() { xdotool search --all --pid "$1" --name '^VantorV'; }
shown_window_of() { xdotool search --all --onlyvisible --pid "$1" --name '^VantorV'; }

# $1: what to call the copy. Starts a copy in the background and waits for its (put away) window.
start_running_copy() {
    (cd "$app" && exec ./vantor --dry-run >"$work/$1.out" 2>&1) &
    running=$!
    pids+=($running)
    within 20 window_of "$running" || { echo "$1: no window"; cat "$work/$1.out"; exit 1; }
    sleep 0.5
    if shown_window_of "$running" >/dev/null; then echo "$1: the window was not put away"; exit 1; fi
}

# $1: what to call the copy. A second start must end by itself, successfully, and show the running
# copy's window.
second_start() {
    local status=0
    (cd "$app" && timeout 20 ./vantor --dry-run >"$work/$1.out" 2>&1) || status=$?
    [ "$status" -eq 0 ] || { echo "$1 ended with $status"; cat "$work/$1.out"; exit 1; }
    kill -0 "$running" || { echo "$1: the running copy is gone"; exit 1; }
    within 10 shown_window_of "$running" || { echo "$1: the running copy's window was not brought back"; exit 1; }
}

# An empty lock file left behind, and a link under the old request file's name pointing at a file of
# the user's.
: >"$app/vantor.lock"
printf 'keep me\n' >"$work/precious"
ln -s "$work/precious" "$app/vantor.activate"
start_running_copy first
second_start second
[ "$(cat "$work/precious")" = "keep me" ] || { echo "the second start wrote through a link"; exit 1; }

# A copy killed outright leaves its lock file; the next start runs all the same, and is the one found.
kill -9 "$running"
wait "$running" 2>/dev/null || true
[ -e "$app/vantor.lock" ] || { echo "the killed copy left no lock to test with"; exit 1; }
start_running_copy third
sleep 1
kill -0 "$running" || { echo "the start after the killed copy did not keep running"; cat "$work/third.out"; exit 1; }
second_start fourth
echo "second start ok"
