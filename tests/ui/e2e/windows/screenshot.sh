#!/usr/bin/env bash
# The Windows program under Wine, started with --screenshot in a program folder named with Chinese
# characters and blanks that holds a task file in the Chinese code page (GBK), shows the rows with their
# Chinese texts: the task list of two pictures whose files differ in one Chinese word differs (missing
# glyphs would draw the same empty boxes for both).
# Usage: screenshot.sh PORTABLE_FOLDER WINE_RUN SESSION
set -euo pipefail
portable="$1"
wine_run="$2"
session="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# $1 folder, $2 the operation text of the first row.
run() {
    local folder="$work/$1"
    mkdir -p "$folder"
    cp -r "$portable/." "$folder/"
    printf '%s\r\n' \
        "True;;10分0秒;倒计时600秒;$2;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0," \
        'False;全天;;闲置60秒;提醒;-1;0,1,0,0,0,-1,2026/12/8,2026/12/8,,,0,0,1,0,-1,-1,0,0,0,你好' |
        iconv -f UTF-8 -t GBK >"$folder/vntask.vnt"
    (cd "$folder" && timeout 120 bash "$wine_run" "$session" ./vantor.exe --screenshot out.png)
    local signature
    signature="$(head -c 8 "$folder/out.png" | od -An -tx1 | tr -d ' \n')"
    [ "$signature" = "89504e470d0a1a0a" ] || { echo "$1: no PNG written"; exit 1; }
    # The task list with its two rows (the pickers above show the current time and are left out).
    convert "$folder/out.png" -crop 400x60+8+296 +repage "rgb:$work/$1.rgb"
}

run "张三 桌面" 关机
run "李四 桌面" 重启
[ -s "$work/张三 桌面.rgb" ] || { echo "the picture holds no task list"; exit 1; }
if cmp -s "$work/张三 桌面.rgb" "$work/李四 桌面.rgb"; then
    echo "the rows look the same with different Chinese texts: their characters were not drawn"
    exit 1
fi
# Both pictures show the rows, not an empty list: the row of the second task is the same in both.
ink="$(convert "$work/张三 桌面/out.png" -crop 380x16+8+338 +repage -colorspace Gray -threshold 50% -format '%[fx:mean]' info:)"
awk -v m="$ink" 'BEGIN { exit !(m < 0.995) }' || { echo "no second row in the task list (mean $ink)"; exit 1; }
echo "screenshot ok"
