#!/usr/bin/env bash
# Installs the .deb that deb.sh built in $1, starts the installed program as a user would (its files go
# to that user's folder, here a temporary home), and purges it: nothing of the package stays, not even
# the start-with-session entry for all users that the options dialog writes, while the user's own
# files do. Only as root, on a machine where no vantor package and none of its files are present
# (skipped with a message otherwise); whatever happens, a trap purges the package and removes what the
# test wrote, so the machine is left as it was.
set -euo pipefail

dir="$1"
fail() { echo "$*" >&2; exit 1; }
skip() { echo "skipped: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "installing and purging the .deb needs root"
debs=("$dir"/vantor_*.deb)
[ -f "${debs[0]}" ] || fail "no .deb in $dir (deb.sh builds it)"
deb="${debs[0]}"

# One such test at a time on this machine, whichever work tree runs it.
exec 9>/tmp/vantor-deb-install-test.lock
flock -w 300 9 || fail "another run of this test holds /tmp/vantor-deb-install-test.lock"
if dpkg-query -W vantor >/dev/null 2>&1; then
    skip "dpkg knows a vantor package already: $(dpkg-query -W -f='${Version} ${Status}' vantor)"
fi
while read -r f; do
    [ ! -e "${f#.}" ] || skip "${f#.} exists already: not overwriting it"
done < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}')
autostart=/etc/xdg/autostart/vantor.desktop
[ ! -e "$autostart" ] || skip "$autostart exists already: not touching it"

work="$(mktemp -d)"
installed=0
cleanup() {
    if [ "$installed" -eq 1 ]; then dpkg --purge vantor >/dev/null 2>&1 || true; fi
    rm -f "$autostart"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP # so that an interrupted run cleans up too
export HOME="$work/home"
unset XDG_CONFIG_HOME DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"

installed=1
dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || fail "dpkg -i failed (missing dependencies? run scripts/setup.sh): $(cat "$work/dpkg.log")"
[ "$(command -v vantor)" = /usr/bin/vantor ] || fail "vantor is not found on PATH"
vantor --version >/dev/null || fail "the installed vantor --version failed"
QT_QPA_PLATFORM=offscreen timeout 60 vantor --screenshot "$work/shot.png" 2>"$work/run.err" ||
    fail "the installed program did not start: $(cat "$work/run.err")"
[ -s "$work/shot.png" ] || fail "no picture from the installed program"
[ -d "$HOME/.config/vantor" ] || fail "the installed program did not make ~/.config/vantor"
for f in vntask.vnt Setting.ini vantor.lock; do
    [ ! -e "/usr/bin/$f" ] || fail "the installed program wrote /usr/bin/$f"
done
touch "$HOME/.config/vantor/vntask.vnt"

# The start-with-session entry for all users, as the options dialog writes it for the installed program.
printf '[Desktop Entry]\nType=Application\nName=Vantor\nExec="/usr/bin/vantor"\n' >"$autostart"

dpkg --purge vantor >"$work/dpkg.log" 2>&1 || fail "dpkg --purge failed: $(cat "$work/dpkg.log")"
installed=0
! dpkg-query -W vantor >/dev/null 2>&1 || fail "dpkg still knows the package after the purge"
while read -r f; do
    [ ! -e "${f#.}" ] || fail "${f#.} is still there after the purge"
done < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}')
[ ! -e "$autostart" ] || fail "the autostart entry for all users outlived the purge"
[ -f "$HOME/.config/vantor/vntask.vnt" ] || fail "the purge removed the user's own task file"
echo "deb install and purge ok"
