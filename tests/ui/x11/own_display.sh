# Sourced by the scripts that need a display of their own. start_display WIDTHxHEIGHT starts an Xvfb
# server on a display number that no other server holds (the server picks it, so tests running side by
# side never share one), exports DISPLAY and sets xvfb_pid; stop_display ends it.

start_display() {
    local numfile
    numfile="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$numfile" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 150); do
        [ -s "$numfile" ] && break
        sleep 0.1
    done
    if [ ! -s "$numfile" ]; then
        rm -f "$numfile"
        echo "Xvfb did not start"
        return 1
    fi
    DISPLAY=":$(head -n 1 "$numfile")"
    export DISPLAY
    rm -f "$numfile"
}

stop_display() {
    [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
}
