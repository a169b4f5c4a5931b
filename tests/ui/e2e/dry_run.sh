#!/usr/bin/env bash
# The real program, started with --dry-run in folders holding a saved task and Work=1, arms the task at
# start-up and carries it out on the real clock: a program start right when its countdown runs out and
# again after the chained restart, a shut-down only after the full 60-second warning, and a program start
# in an open time window once, not once a second. The dry run only prints what it would do: the program
# is never started. Each action is a line in the history beside the task file.
set -euo pipefail

program="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen

# $1 folder, $2 task line: a program folder with its own copy of the program.
prepare() {
    mkdir -p "$1"
    cp "$program" "$1/vantor"
    printf '%s\r\n' "$2" >"$1/vntask.vnt"
    printf '[Setting]\r\nWork=1\r\n' >"$1/Setting.ini"
}

# $1 file, $2 pattern, $3 count, $4 seconds: wait until the file holds that many matching lines.
wait_lines() {
    local deadline=$((SECONDS + $4))
    while [ "$(grep -c -- "$2" "$1" 2>/dev/null || true)" -lt "$3" ]; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

marker="$work/started"
printf '#!/bin/sh\ntouch "%s"\n' "$marker" >"$work/tool.sh"
chmod +x "$work/tool.sh"

# A shut-down 2 seconds from the start, then the warning.
prepare "$work/power" 'True;;2秒;倒计时2秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,2,,0,0,0,0,-1,-1,0,0,0,'
(cd "$work/power" && exec ./vantor --dry-run >out.txt 2>err.txt) &
pids+=($!)
power_start=$SECONDS

# A program start 2 seconds from the start; "持续" (checked at start) arms the same task again afterwards.
prepare "$work/run" "True;;2秒;倒计时2秒;运行;0;1,0,0,1,0,0,2026/12/8,2026/12/8,2,,0,0,0,0,-1,-1,0,0,1,$work/tool.sh"
(cd "$work/run" && exec ./vantor --dry-run >out.txt 2>err.txt) &
pids+=($!)

# A program start inside a time window that is open now: once for the window, however often it chains.
from="$(date -d '-1 hour' '+%Y/%-m/%-d %-H:%M:%S')"
to="$(date -d '+1 hour' '+%Y/%-m/%-d %-H:%M:%S')"
prepare "$work/window" "True;$from;$to;时段;运行;1;1,0,0,1,0,1,$from,$to,,,0,0,0,0,-1,-1,0,0,1,$work/tool.sh"
(cd "$work/window" && exec ./vantor --dry-run >out.txt 2>err.txt) &
pids+=($!)

wait_lines "$work/run/out.txt" "^dry-run: start-program $work/tool.sh\$" 2 30 || {
    echo "the program task was not carried out and chained:"
    cat "$work/run/out.txt" "$work/run/err.txt"
    exit 1
}
[ ! -e "$marker" ] || { echo "the dry run started the program"; exit 1; }

# Nothing may happen while the warning counts down its 60 seconds.
sleep $((power_start + 50 - SECONDS > 0 ? power_start + 50 - SECONDS : 0))
if grep -q . "$work/power/out.txt"; then
    echo "acted during the warning after $((SECONDS - power_start)) s:"
    cat "$work/power/out.txt"
    exit 1
fi
wait_lines "$work/power/out.txt" '^dry-run: power-off$' 1 60 || {
    echo "no shut-down after the warning:"
    cat "$work/power/out.txt" "$work/power/err.txt"
    exit 1
}
[ "$(grep -c . "$work/power/out.txt")" -eq 1 ] || { echo "more than one action:"; cat "$work/power/out.txt"; exit 1; }
[ "$(grep -c . "$work/window/out.txt")" -eq 1 ] || {
    echo "the time-window task did not act exactly once in a minute:"
    cat "$work/window/out.txt" "$work/window/err.txt"
    exit 1
}
tab=$'\t'
grep -q "^[0-9-]* [0-9:]*${tab}关机${tab}-${tab}倒计时2秒${tab}试运行（仅打印）\$" "$work/power/vantor-history.log" || {
    echo "the shut-down is not in the history:"
    cat "$work/power/vantor-history.log" 2>/dev/null
    exit 1
}
[ "$(grep -c "${tab}运行${tab}$work/tool.sh${tab}倒计时2秒${tab}试运行（仅打印）\$" "$work/run/vantor-history.log")" -ge 2 ] || {
    echo "the program starts are not in the history:"
    cat "$work/run/vantor-history.log" 2>/dev/null
    exit 1
}
echo "dry run ok"
