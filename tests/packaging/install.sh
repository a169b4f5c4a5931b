#!/usr/bin/env bash
# make install's rules run into temporary folders: a staging install under /usr through DESTDIR and a
# plain one under a prefix of its own. The menu entry and the metainfo validate and the icon is there in
# every size; the installed program answers --help, --version and a wrong option without a display,
# keeps its files in the user's own folder (a temporary one: HOME and XDG_CONFIG_HOME point there, never
# at the real home), and a copy of it in a folder of its own keeps them beside itself.
set -euo pipefail

build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$HOME"
fail() { echo "$*" >&2; exit 1; }
id=org.vantor.Vantor

# $1 PNG file: "WIDTHxHEIGHT" from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }

# --- Staged under /usr, as a package build does.
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log"
[ "$(ls "$work/stage")" = usr ] || fail "the staged install wrote outside /usr: $(ls "$work/stage")"
usr="$work/stage/usr"
entry="$usr/share/applications/$id.desktop"
[ -x "$usr/bin/vantor" ] || fail "no program in $usr/bin"
grep -qx 'Exec=/usr/bin/vantor' "$entry" || fail "the menu entry does not start /usr/bin/vantor: $(grep Exec "$entry")"
report="$(desktop-file-validate "$entry" 2>&1)" || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate has remarks: $report"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream.log")"
[ -s "$usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$png is $(png_size "$png")"
done

# --- The command line, without a display.
program="$usr/bin/vantor"
status=0
"$program" --help >"$work/help.txt" 2>"$work/help.err" || status=$?
[ "$status" -eq 0 ] || fail "--help ended with $status: $(cat "$work/help.err")"
for option in --dry-run --screenshot --help --version; do
    grep -q -- "$option" "$work/help.txt" || fail "--help does not name $option"
done
grep -qF "keeps them in $XDG_CONFIG_HOME/vantor/" "$work/help.txt" ||
    fail "the installed program does not choose the user's folder: $(tail -1 "$work/help.txt")"
version="$("$program" --version)" || fail "--version failed"
[[ "$version" =~ ^vantor\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$version'"
status=0
"$program" --no-such-option >"$work/bad.out" 2>"$work/bad.err" || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with $status, not 2"
[ ! -s "$work/bad.out" ] || fail "an unknown option printed on standard output"
grep -q "unknown option '--no-such-option'" "$work/bad.err" && grep -q '^Usage:' "$work/bad.err" ||
    fail "no usage on standard error: $(cat "$work/bad.err")"
# Without XDG_CONFIG_HOME, the folder under the home folder.
(unset XDG_CONFIG_HOME && "$program" --help) | grep -qF "keeps them in $HOME/.config/vantor/" ||
    fail "without XDG_CONFIG_HOME the folder is not ~/.config/vantor"

# --- Installed under a prefix of its own, run headless: the user's folder is made on first use and read.
cmake --install "$build" --prefix "$work/prefix" >>"$work/install.log"
grep -qx "Exec=$work/prefix/bin/vantor" "$work/prefix/share/applications/$id.desktop" ||
    fail "the menu entry does not name the program under its prefix"
export QT_QPA_PLATFORM=offscreen
timeout 60 "$work/prefix/bin/vantor" --screenshot "$work/first.png" 2>"$work/first.err" ||
    fail "the installed program did not start: $(cat "$work/first.err")"
[ -s "$work/first.png" ] || fail "no picture"
[ -d "$XDG_CONFIG_HOME/vantor" ] || fail "the user's folder was not made"
[ "$(stat -c %a "$XDG_CONFIG_HOME/vantor")" = 700 ] || fail "the user's folder is open to others"
[ "$(ls "$work/prefix/bin")" = vantor ] || fail "files beside the installed program: $(ls "$work/prefix/bin")"
printf '[Setting]\r\nWork=1\r\n' >"$XDG_CONFIG_HOME/vantor/Setting.ini"
timeout 60 "$work/prefix/bin/vantor" --screenshot "$work/second.png" 2>"$work/second.err" ||
    fail "the second start failed: $(cat "$work/second.err")"
grep -q '未设定任务，不能执行任务！' "$work/second.err" || fail "Setting.ini in the user's folder was not read"

# --- A copy in a folder of its own is portable: its files stay beside it; in a folder it cannot write
# to (tried as an unprivileged user when this runs as root, who may write anywhere), the user's folder.
mkdir "$work/portable"
cp "$usr/bin/vantor" "$work/portable/vantor"
"$work/portable/vantor" --help | grep -qF "keeps them in $work/portable/" ||
    fail "a copy in a writable folder does not keep its files beside itself"
chmod 555 "$work/portable"
chmod 755 "$work"
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
"${as_user[@]}" "$work/portable/vantor" --help | grep -qF "keeps them in $XDG_CONFIG_HOME/vantor/" ||
    fail "a copy in a read-only folder does not choose the user's folder"
chmod 755 "$work/portable"
echo "install ok"
