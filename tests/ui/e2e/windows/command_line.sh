#!/usr/bin/env bash
# The Windows program under Wine driven from its command line over the named pipe: no copy running exits
# 3; with a copy running a saved 600-second shut-down (dry run), --status shows it, --stop stops it as
# 停止 does and a second --stop is refused.
# Usage: command_line.sh PORTABLE_FOLDER WINE_RUN SESSION
set -euo pipefail
portable="$1"
wine_run="$2"
session="$3"
work="$(mktemp -d)"
pid=""
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

folder="$work/程序"
mkdir -p "$folder"
cp -r "$portable/." "$folder/"
printf '%s\r\n' 'True;;;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,' \
    >"$folder/vntask.vnt"
printf '[Setting]\r\nWork=1\r\n' >"$folder/Setting.ini"

ctl() {
    code=0
    out="$(cd "$folder" && timeout 60 bash "$wine_run" "$session" ./vantor.exe "$@" 2>&1 | tr -d '\r')" ||
        code=$?
}
fail() { echo "$*"; cat "$folder/out.txt" 2>/dev/null || true; exit 1; }
# Exit codes come through Wine; the pipe's status through `wine` is the program's own.
ctl --status
[ "$code" -eq 3 ] || fail "status with no copy: exit $code: $out"

(cd "$folder" && exec bash "$wine_run" "$session" ./vantor.exe --dry-run >out.txt 2>&1) &
pid=$!
deadline=$((SECONDS + 60))
until ctl --status && grep -qF "state: running" <<<"$out"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the running copy never said it runs: exit $code: $out"
    sleep 0.5
done
grep -qF "conditions: 倒计时600秒" <<<"$out" || fail "status: $out"
ctl --stop
[ "$code" -eq 0 ] && grep -qF "stopped" <<<"$out" || fail "stop: exit $code: $out"
ctl --status
grep -qF "state: stopped" <<<"$out" || fail "status after stop: $out"
ctl --stop
[ "$code" -eq 1 ] && grep -qF "No task is running" <<<"$out" || fail "second stop: exit $code: $out"
echo "command line ok"
