#!/usr/bin/env bash
# The command line drives a running copy of the real program (offscreen, dry run): no copy running is
# said with exit code 3; --status, --stop, --start and the warning's --cancel do what the buttons do, with
# their messages printed, --snooze and --history as "推迟" and the history window; a line the copy does not
# understand and a client that never reads change nothing.
set -euo pipefail

program="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
    exec 2>/dev/null
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

fail() { echo "$*"; for f in "$work"/*.out; do echo "--- $f"; cat "$f"; done; exit 1; }

# $1: folder, $2: seconds of the countdown. A folder of its own with one saved shut-down task, run at launch.
make_copy() {
    mkdir -p "$1"
    cp "$program" "$1/vantor"
    printf '%s\r\n' "True;;;倒计时$2秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,$2,,0,0,0,0,-1,-1,0,0,0," >"$1/vntask.vnt"
    printf '[Setting]\r\nTray=0\r\nWork=1\r\n' >"$1/Setting.ini"
}
# $1: folder, then the options. Sets $out (standard output and error) and $code.
ctl() {
    local folder="$1"
    shift
    code=0
    out="$(cd "$folder" && timeout 30 ./vantor "$@" 2>&1)" || code=$?
}
expect() { # $1: exit code wanted, $2: text wanted in the output (may be empty), then what was run
    [ "$code" -eq "$1" ] || fail "$3: exit $code, wanted $1: $out"
    [ -z "$2" ] || grep -qF -- "$2" <<<"$out" || fail "$3: no '$2' in: $out"
}
start_copy() { # $1: folder, $2: name
    (cd "$1" && exec ./vantor --dry-run >"$work/$2.out" 2>&1) &
    pids+=($!)
}

a="$work/a"
make_copy "$a" 600
ctl "$a" --status
expect 3 "not running" "status with no copy running"

start_copy "$a" a
# A command that comes while the copy starts (it holds the lock) is answered once its window is ready.
for _ in $(seq 100); do
    ctl "$a" --status
    [ "$code" -ne 3 ] && break
    sleep 0.05
done
expect 0 "state: running" "status of the started copy"
expect 0 "operation: 关机" "status"
expect 0 "conditions: 倒计时600秒" "status"
sleep 1.5 # the status line is written by the first tick
ctl "$a" --status
expect 0 "status: 剩余:" "status after a tick"

ctl "$a" --stop
expect 0 "stopped" "stop"
ctl "$a" --status
expect 0 "state: stopped" "status after stop"
ctl "$a" --stop
expect 1 "No task is running" "stop with nothing running"
ctl "$a" --skip
expect 1 "No warning is open" "skip with no warning"

# Lines that are not requests get an error answer; a client that holds the channel without a word only
# delays the next one.
python3 - "$XDG_RUNTIME_DIR" <<'PY' || fail "malformed requests"
import glob, socket, sys
path = glob.glob(sys.argv[1] + "/vantor-*")[0]
for line in [b"VANTOR/1 shutdown\n", b"VANTOR/2 stop\n", b"start\n", b"VANTOR/1 snooze -1\n"]:
    s = socket.socket(socket.AF_UNIX)
    s.connect(path)
    s.sendall(line)
    answer = b""
    while not answer.endswith(b"\0"):
        chunk = s.recv(4096)
        if not chunk:
            break
        answer += chunk
    assert answer.startswith(b"VANTOR/1 invalid\n"), (line, answer)
PY
# One client that never says a word and one that never reads its answer, both holding on.
python3 - "$XDG_RUNTIME_DIR" <<'PY' &
import glob, socket, sys, time
path = glob.glob(sys.argv[1] + "/vantor-*")[0]
silent = socket.socket(socket.AF_UNIX)
silent.connect(path)
deaf = socket.socket(socket.AF_UNIX)
deaf.connect(path)
deaf.sendall(b"VANTOR/1 status\n")
time.sleep(20)
PY
pids+=($!)
sleep 0.5
ctl "$a" --status
expect 0 "state: stopped" "status after malformed requests"

ctl "$a" --start
expect 0 "state: running" "start"

# The warning: a 2-second countdown opens it. --snooze puts it off as "推迟" does and --cancel answers it
# as "取消" does; nothing is shut down, and the history has both answers.
b="$work/b"
make_copy "$b" 2
start_copy "$b" b
wait_for_warning() {
    for _ in $(seq 100); do
        ctl "$b" --status
        grep -qF "state: warning open" <<<"$out" && return 0
        sleep 0.2
    done
}
wait_for_warning
expect 0 "seconds left" "status with the warning open"
ctl "$b" --start
expect 1 "warning is open" "start with the warning open"
ctl "$b" --snooze 0
expect 2 "1 to 1440 minutes" "snooze by 0 minutes"
ctl "$b" --snooze 5
expect 0 "snoozed until: " "snooze"
ctl "$b" --status
expect 0 "status: 已推迟至 " "status while snoozed"
ctl "$b" --stop
expect 0 "stopped" "stop while snoozed"
ctl "$b" --start
expect 0 "state: running" "start again"
wait_for_warning
ctl "$b" --cancel
expect 0 "state: stopped" "cancel"
ctl "$b" --cancel
expect 1 "No warning is open" "cancel with no warning"
ctl "$b" --history
expect 0 "推迟至" "history"
expect 0 "取消" "history"
ctl "$b" --history 1
[ "$(wc -l <<<"$out")" -eq 1 ] || fail "--history 1 printed: $out"
expect 0 "取消" "the last record"
sleep 1
! grep -q "dry-run: power-off" "$work/b.out" || fail "the cancelled shut-down was carried out"
echo "command line ok"
