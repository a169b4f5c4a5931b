#!/usr/bin/env bash
# What a screen reader hears: the real program under Xvfb, read through the AT-SPI bus as assistive tools
# read it. The labels that show information expose their current text as their name (the reminder, the
# warning and its countdown, the status line); what each label is for is its description.
set -euo pipefail

program="$1"
if [ "${VANTOR_IN_SESSION:-}" != 1 ]; then
    for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
        command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
    done
    # A session bus of its own: nothing reaches the machine's real session.
    exec env VANTOR_IN_SESSION=1 dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
source "$(dirname "$0")/../x11/own_display.sh"

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT
start_display 1280x1024

/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb

# $1 folder, $2 task line: a program folder whose task starts at once and fires after a few seconds.
start_in() {
    mkdir -p "$1"
    cp "$program" "$1/vantor"
    printf '%s\r\n' "$2" >"$1/vntask.vnt"
    printf '[Setting]\r\nWork=1\r\n' >"$1/Setting.ini"
    (cd "$1" && exec ./vantor --dry-run >out.txt 2>err.txt) &
    pids+=($!)
}
# A reminder, and a lock whose warning counts down (the dry run would only print the lock).
start_in "$work/remind" 'True;;4秒;倒计时4秒;提醒;0;1,0,0,0,0,0,2026/12/8,2026/12/8,4,,0,0,0,0,-1,-1,0,0,0,该喝水了'
start_in "$work/lock" 'True;;4秒;倒计时4秒;锁定;0;1,0,0,6,0,0,2026/12/8,2026/12/8,4,,0,0,0,0,-1,-1,0,0,0,'

/usr/bin/python3 - <<'PY'
import sys, time
import pyatspi

def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)

def labels():
    """Every label of every application on the bus, as (window name, label name, label description)."""
    found = []
    desktop = pyatspi.Registry.getDesktop(0)
    for a in range(desktop.childCount):
        app = desktop.getChildAtIndex(a)
        for w in range(app.childCount if app else 0):
            window = app.getChildAtIndex(w)
            for node in walk(window):
                if node.getRole() == pyatspi.ROLE_LABEL:
                    found.append((window.name, node.name, node.description))
    return found

def wait_for(what, test, seconds=30):
    deadline = time.time() + seconds
    seen = []
    while time.time() < deadline:
        try:
            seen = labels()
        except Exception as e:  # an application still registering
            seen = [("error", str(e), "")]
        if test(seen):
            return seen
        time.sleep(0.3)
    print(f"not heard: {what}; labels on the bus:")
    for item in seen:
        print("  ", item)
    sys.exit(1)

# The status line while the tasks count down: its text, described as the status.
wait_for("the status line read as its text",
         lambda ls: any(d == "状态" and n.startswith("剩余:") for _, n, d in ls))
# The reminder read as the reminder; the warning read as its items, the countdown as its figure.
found = wait_for("the reminder and the warning with its countdown",
                 lambda ls: any(n == "该喝水了" and d == "提示内容" for _, n, d in ls)
                 and any(n.startswith("1、系统将在") and "锁定" in n and d == "提示内容" for _, n, d in ls)
                 and any(n.startswith("倒计时(") and d == "倒计时" for _, n, d in ls))
for window, name, description in found:
    if window == "Vantor温馨提示" and name in ("提示内容", "倒计时"):
        print(f"a label of the warning is read as its role {name!r} instead of its text")
        sys.exit(1)
print("accessibility ok")
PY
