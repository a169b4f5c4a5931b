#!/usr/bin/env bash
# `make run`'s script in a copy of the tree: the program runs from the program folder run/, which keeps its
# files when build/ goes, and every command it suggests without a display is a dry run.
set -euo pipefail

program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/build"
cp "$(dirname "$0")/../../../scripts/run.sh" "$work/scripts/run.sh"
cp "$program" "$work/build/vantor"

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bash "$work/scripts/run.sh" >"$work/hint.txt"
commands="$(grep 'run/vantor' "$work/hint.txt")" || { echo "no command suggested:"; cat "$work/hint.txt"; exit 1; }
if grep 'vantor' <<<"$commands" | grep -v -- '--dry-run'; then
    echo "a suggested command would carry tasks out for real"
    exit 1
fi
[ -x "$work/run/vantor" ] || { echo "the suggested program is not in run/"; exit 1; }

# The program runs from run/ and keeps its task file there; a clean build leaves it.
printf 'True;;2秒;倒计时2秒;提醒;0;1,0,0,0,0,0,2026/12/8,2026/12/8,2,,0,0,0,0,-1,-1,0,0,0,hi\r\n' >"$work/run/vntask.vnt"
rm -rf "$work/build"
mkdir "$work/build"
cp "$program" "$work/build/vantor"
QT_QPA_PLATFORM=offscreen timeout 60 bash "$work/scripts/run.sh" --dry-run --screenshot shot.png 2>/dev/null
test -s "$work/shot.png" || { echo "the program did not run from run/"; exit 1; }
test -s "$work/run/vntask.vnt" || { echo "the task file did not survive"; exit 1; }
echo "make run ok"
