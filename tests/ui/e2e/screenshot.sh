#!/usr/bin/env bash
# The program started headless with --screenshot renders its main window, with the rows of the task file
# found in its folder, into a PNG and exits 0; an unwritable picture path ends it with an error.
set -euo pipefail

program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cp "$program" "$work/vantor"
printf '%s\r\n' \
    'True;;10分0秒;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,' \
    'False;全天;;闲置60秒;提醒;-1;0,1,0,0,0,-1,2026/12/8,2026/12/8,,,0,0,1,0,-1,-1,0,0,0,hi' \
    >"$work/vntask.vnt"
before="$(sha256sum <"$work/vntask.vnt")"

cd "$work"
export QT_QPA_PLATFORM=offscreen
# In a plain session (no runtime folder) the program says nothing a user does not need to know.
env -u XDG_RUNTIME_DIR timeout 60 ./vantor --screenshot out.png 2>err.txt
test -s out.png || { echo "no picture written"; exit 1; }
[ ! -s err.txt ] || { echo "noise on the error output:"; cat err.txt; exit 1; }
signature="$(head -c 8 out.png | od -An -tx1 | tr -d ' \n')"
[ "$signature" = "89504e470d0a1a0a" ] || { echo "out.png is not a PNG ($signature)"; exit 1; }
# The picture shows the task panel with the rows: taller than the compact window (4395 twips, 293 px at
# 96 DPI).
height="$(od -An -tu1 -j20 -N4 out.png | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')"
[ "$height" -gt 293 ] || { echo "the picture is only $height px high: the task list is not in it"; exit 1; }
# Start-up only reads the task file.
[ "$before" = "$(sha256sum <vntask.vnt)" ] || { echo "the task file changed"; exit 1; }

# The dry run goes through the same start-up.
timeout 60 ./vantor --dry-run --screenshot dry.png >/dev/null
test -s dry.png || { echo "no picture in the dry run"; exit 1; }

# A message box during start-up cannot hold up a headless picture: it is reported and closed.
mkdir warned
cp ./vantor warned/vantor
printf '[Setting]\r\nWork=1\r\n' >warned/Setting.ini
(cd warned && timeout 60 ./vantor --screenshot warned.png 2>err.txt)
test -s warned/warned.png || { echo "no picture after a start-up message"; exit 1; }
grep -q '未设定任务，不能执行任务！' warned/err.txt || { echo "the start-up message was not reported"; exit 1; }

# A picture that cannot be written is an error, not a silent success.
if timeout 60 ./vantor --screenshot "$work/missing-folder/out.png" 2>err.txt; then
    echo "an unwritable screenshot path was reported as success"
    exit 1
fi
grep -q 'Could not write the screenshot' err.txt || { echo "no message for the unwritable path"; exit 1; }

# Without a display and without an explicit platform the program says what it needs instead of aborting.
if env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 ./vantor 2>err.txt; then
    echo "started without a graphical session"
    exit 1
fi
grep -q 'graphical session' err.txt || { echo "no hint about the missing graphical session"; exit 1; }
echo "screenshot ok"
