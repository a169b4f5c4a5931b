#!/usr/bin/env bash
# The Windows program under Wine, started with --dry-run in a program folder holding a saved 2-second
# program task and Work=1, arms the task at start-up, prints its start line when the countdown runs out
# and again after the chained restart ("持续"); the program itself (the test helper, which would leave a
# marker file) is never started. A second start in the same folder hands over to the running copy.
# The task's path is saved with "/" (typed so, or from another build) and printed with "\"; the lines,
# and --help with the program's folder, reach a file in UTF-8 with CR LF line ends.
# Usage: dry_run.sh PORTABLE_FOLDER WINE_RUN SESSION HELPER_EXE
set -euo pipefail
portable="$1"
wine_run="$2"
session="$3"
helper="$4"
work="$(mktemp -d)"
pid=""
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

folder="$work/程序 文件夹"
mkdir -p "$folder"
cp -r "$portable/." "$folder/"
cp "$helper" "$folder/工具 tool.exe"
# The program's path as Windows sees it: the Unix root is drive Z:.
target="Z:$(printf '%s' "$folder/工具 tool.exe" | tr / '\\')"
printf '%s\r\n' "True;;2秒;倒计时2秒;运行;0;1,0,0,1,0,0,2026/12/8,2026/12/8,2,,0,0,0,0,-1,-1,0,0,1,Z:$folder/工具 tool.exe" \
    >"$folder/vntask.vnt"
printf '[Setting]\r\nWork=1\r\n' >"$folder/Setting.ini"

(cd "$folder" && exec bash "$wine_run" "$session" ./vantor.exe --dry-run >out.txt 2>err.txt) &
pid=$!
expected="dry-run: start-program $target"
# The program's standard output ends its lines in CR LF, as text on Windows does.
lines() { tr -d '\r' <"$folder/out.txt"; }
deadline=$((SECONDS + 60))
while [ "$(lines | grep -cxF -- "$expected" || true)" -lt 2 ]; do
    if [ "$SECONDS" -ge "$deadline" ]; then
        echo "the program task was not carried out and chained:"
        cat "$folder/out.txt" "$folder/err.txt"
        exit 1
    fi
    sleep 0.2
done
# A second start in the folder hands over to the running copy and ends: the running copy takes its request.
status=0
(cd "$folder" && timeout 30 bash "$wine_run" "$session" ./vantor.exe --dry-run >second.txt 2>&1) || status=$?
if [ "$status" -ne 0 ] || ! kill -0 "$pid" 2>/dev/null; then
    echo "a second start did not hand over to the running copy (status $status):"
    cat "$folder/second.txt"
    exit 1
fi
if lines | grep -vxF -- "$expected"; then
    echo "other lines than the program's start"
    exit 1
fi
[ ! -e "$folder/工具 tool.exe.started" ] || { echo "the dry run started the program"; exit 1; }

# The bytes: UTF-8 (not the system's code page), CR LF, nothing else.
expected_bytes() { printf '%s\r\n' "$@" | od -An -tx1; }
first="$(head -n1 "$folder/out.txt" | od -An -tx1)"
[ "$first" = "$(expected_bytes "$expected")" ] || { echo "the dry-run line is not UTF-8 with CR LF: $first"; exit 1; }
(cd "$folder" && timeout 60 bash "$wine_run" "$session" ./vantor.exe --help >help.txt 2>&1)
shown="Z:$(printf '%s' "$folder/" | tr / '\\')"
line="$(grep -a "^This copy keeps them in " "$folder/help.txt" | od -An -tx1)" || true
[ "$line" = "$(expected_bytes "This copy keeps them in $shown")" ] || {
    echo "--help does not name the folder $shown in UTF-8 with CR LF:"
    cat "$folder/help.txt"
    exit 1
}
echo "dry run ok"
