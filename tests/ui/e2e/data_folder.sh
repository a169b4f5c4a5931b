#!/usr/bin/env bash
# Where the program keeps its files. A program folder whose name is not UTF-8 (GBK, as unpacking a Windows
# archive gives) still holds them; an installed program uses the user's own folder, and runs the tasks in
# it only when nobody else may change it.
set -euo pipefail

program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config"

# "定时" in GBK: no UTF-8 text form keeps these bytes.
gbk="$work/$(printf '\xb6\xa8\xca\xb1')"
mkdir "$gbk"
cp "$program" "$gbk/vantor"
printf '[Setting]\r\nWork=1\r\n' >"$gbk/Setting.ini"
(cd "$gbk" && timeout 60 ./vantor --screenshot "$work/gbk.png" 2>"$work/err.txt")
grep -q '未设定任务，不能执行任务！' "$work/err.txt" ||
    { echo "the settings beside a program in a GBK-named folder were not read"; cat "$work/err.txt"; exit 1; }
[ ! -e "$XDG_CONFIG_HOME/vantor" ] || { echo "the files went to the user's own folder"; exit 1; }
"$gbk/vantor" --help | grep -qF "$gbk/" || { echo "--help names another folder"; exit 1; }

# An installed program: its menu entry beside its bin folder.
mkdir -p "$work/usr/bin" "$work/usr/share/applications" "$XDG_CONFIG_HOME/vantor"
cp "$program" "$work/usr/bin/vantor"
touch "$work/usr/share/applications/org.vantor.Vantor.desktop"
mine="$XDG_CONFIG_HOME/vantor"
printf '%s\r\n' 'True;;2秒;倒计时2秒;运行;0;1,0,0,1,0,0,2026/12/8,2026/12/8,2,,0,0,0,0,-1,-1,0,0,0,/bin/true' \
    >"$mine/vntask.vnt"
printf '[Setting]\r\nWork=1\r\n' >"$mine/Setting.ini"
check() { # $1: what is expected of the start-up, $2: the reason expected in its message (or nothing)
    timeout 60 "$work/usr/bin/vantor" --dry-run --screenshot "$work/shot.png" >/dev/null 2>"$work/err.txt"
    if [ -n "$2" ]; then
        grep -q "用户文件夹不安全：$3" "$work/err.txt" && grep -q "原因：$2" "$work/err.txt" ||
            { echo "$1: no warning"; cat "$work/err.txt"; exit 1; }
    elif grep -q '不安全' "$work/err.txt"; then
        echo "$1: warned"; cat "$work/err.txt"; exit 1
    fi
}
chmod 700 "$mine"
check "the user's own folder" ""
chmod 777 "$mine"
check "a folder everyone may write" "其他用户也可以修改它" "$mine"
chmod 700 "$mine"
chmod 666 "$mine/vntask.vnt"
check "a task file everyone may write" "其他用户也可以修改它" "$mine/vntask.vnt"
chmod 600 "$mine/vntask.vnt"
if [ "$(id -u)" != 0 ]; then
    echo "data folder ok (links to another user's folder need root to set up)"
    exit 0
fi
# A link to a folder that another user owns.
mv "$mine" "$work/theirs"
chown -R 65534:65534 "$work/theirs"
ln -s "$work/theirs" "$mine"
check "a link to another user's folder" "它是指向其他用户的文件或文件夹的链接" "$mine"
echo "data folder ok"
