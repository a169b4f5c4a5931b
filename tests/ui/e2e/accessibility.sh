#!/usr/bin/env bash
# What a screen reader hears: the real program under Xvfb, read through the AT-SPI bus as assistive tools
# read it. The labels that show information expose their current text as their name (the reminder, the
# warning and its countdown, the status line); what each label is for is its description. The reminder and
# the warning are alerts whose description is their whole text; the main window is a frame marked as a dry
# run; the lists are labelled by what they choose; "任务设置" is a button that opens the task list, whose
# hidden columns say nothing; Qt's complaints about the list stay off the error output.
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
# An idle copy (no options, so nothing starts) whose task list holds one saved task.
start_in "$work/idle" 'False;;600秒;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,'
rm "$work/idle/Setting.ini"

VANTOR_WORK="$work" /usr/bin/python3 - <<'PY'
import os, sys, time
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
    if window == "Vantor温馨提示（演练）" and name in ("提示内容", "倒计时"):
        print(f"a label of the warning is read as its role {name!r} instead of its text")
        sys.exit(1)

def windows():
    desktop = pyatspi.Registry.getDesktop(0)
    for a in range(desktop.childCount):
        app = desktop.getChildAtIndex(a)
        for w in range(app.childCount if app else 0):
            yield app.getChildAtIndex(w)

def fail(what, seen):
    print(f"{what}; seen:")
    for item in seen:
        print("  ", item)
    sys.exit(1)

# The reminder and the warning are alerts: a screen reader speaks an alert's text, which Chinese text in a
# plain dialog never gets (it has no spaces between words), and their description is that text.
alerts = [(w.name, w.getRoleName(), w.description) for w in windows() if w.name.startswith("Vantor温馨提示")]
if not any(r == "alert" and t == "Vantor温馨提示（演练）" and d == "该喝水了" for t, r, d in alerts) or \
        not any(r == "alert" and d.startswith("1、系统将在") and d.endswith("3、点击“取消”将结束工作。")
                for _, r, d in alerts):
    fail("the reminder and the warning are not alerts described by their text", alerts)

# The idle copy's main window: a frame whose title says it is a dry run.
mains = [w for w in windows() if w.name.startswith("VantorV")]
frames = [w for w in mains if w.getRoleName() == "frame" and w.name.endswith("（演练）")]
if not frames:
    fail("no main window seen as a frame marked （演练）", [(w.name, w.getRoleName()) for w in mains])
main = frames[0]
nodes = list(walk(main))

# Each list is labelled by what it chooses (its own name is the chosen item).
labelled = {}
for node in nodes:
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        for rel in node.getRelationSet():
            if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                for i in range(rel.getNTargets()):
                    labelled[rel.getTarget(i).name] = node.name
if "操作方式" not in labelled or "时间设定模式" not in labelled:
    fail("the operation and time-mode lists are not labelled", labelled.items())

# "任务设置": a button the keyboard reaches, whose press opens the task list.
buttons = [n for n in nodes if n.name == "任务设置"]
if not buttons or buttons[0].getRole() != pyatspi.ROLE_PUSH_BUTTON or \
        not buttons[0].getState().contains(pyatspi.STATE_FOCUSABLE):
    fail("任务设置 is no focusable button", [(n.getRoleName(), n.getState().getStates()) for n in buttons])
action = buttons[0].queryAction()
names = [action.getName(i) for i in range(action.nActions)]
if "Press" not in names:
    fail("任务设置 cannot be pressed", names)
action.doAction(names.index("Press"))
deadline = time.time() + 30
while True:
    lists = [n for n in walk(main) if n.name == "任务列表" and n.getState().contains(pyatspi.STATE_SHOWING)]
    if lists or time.time() > deadline:
        break
    time.sleep(0.3)
if not lists:
    fail("pressing 任务设置 did not open the task list", [])
# The hidden columns' texts (time mode, parameters) are not read out; the shown ones are.
cells = [n.name for n in walk(lists[0])]
if "倒计时600秒" not in cells or any("1,0,0,3" in c for c in cells) or \
        [c for c in cells if c == "0"]:
    fail("the task list's cells", cells)
print("accessibility ok")
PY

# Walking the list must not fill the error output with Qt's complaints about its children.
if grep -h "QAccessibleTable::indexOfChild" "$work"/*/err.txt; then
    echo "Qt's accessible-table noise reached the error output"
    exit 1
fi
