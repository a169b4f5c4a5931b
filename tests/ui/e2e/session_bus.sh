#!/usr/bin/env bash
# The running copy on a private session bus (offscreen, dry run): the interface is introspectable, the
# State property and the StateChanged signal follow a Stop called with busctl, a refused call is an error.
set -euo pipefail

program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/app" && cp "$program" "$work/app/vantor"
printf '%s\r\n' 'True;;;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,' >"$work/app/vntask.vnt"
printf '[Setting]\r\nTray=0\r\nWork=1\r\n' >"$work/app/Setting.ini"

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$work/run" WORK="$work"
mkdir -m 700 "$XDG_RUNTIME_DIR"
timeout 120 dbus-run-session -- bash -euo pipefail -c '
cd "$WORK/app"
./vantor --dry-run >"$WORK/out.txt" 2>&1 &
app=$!
trap "kill -9 $app 2>/dev/null || true; kill \${mon:-} 2>/dev/null || true" EXIT
fail() { echo "$*"; cat "$WORK/out.txt"; exit 1; }
for _ in $(seq 100); do busctl --user status org.vantor.Vantor >/dev/null 2>&1 && break; sleep 0.1; done
object=(org.vantor.Vantor /org/vantor/Vantor)
busctl --user introspect "${object[@]}" org.vantor.Vantor1 >"$WORK/introspect.txt" || fail "no object to introspect"
for member in .Status .Start .Stop .Skip .Cancel .Snooze .History .State .StateChanged; do
    grep -q "^$member " "$WORK/introspect.txt" || fail "introspection lacks $member"
done
[ "$(busctl --user get-property "${object[@]}" org.vantor.Vantor1 State)" = "s \"running\"" ] || fail "not running"
gdbus monitor --session --dest org.vantor.Vantor >"$WORK/signals.txt" 2>&1 &
mon=$!
sleep 0.5
[ "$(busctl --user call "${object[@]}" org.vantor.Vantor1 Stop)" = "s \"stopped\\n\"" ] || fail "Stop"
[ "$(busctl --user get-property "${object[@]}" org.vantor.Vantor1 State)" = "s \"stopped\"" ] || fail "State"
if busctl --user call "${object[@]}" org.vantor.Vantor1 Stop 2>"$WORK/err.txt"; then fail "a second Stop"; fi
grep -q "No task is running" "$WORK/err.txt" || fail "the refusal does not say why"
for _ in $(seq 50); do grep -q "StateChanged (.stopped.,)" "$WORK/signals.txt" && break; sleep 0.1; done
grep -q "StateChanged (.stopped.,)" "$WORK/signals.txt" || fail "no StateChanged: $(cat "$WORK/signals.txt")"
'
echo "session bus ok"
