#!/usr/bin/env bash
# At twice the scale the windows look like the 1x ones, twice as large. ui_scaled_windows_test (which
# also checks that no text is cut off) saves each window on a 1x screen and on two kinds of 2x screen:
# one with a device pixel ratio of 2 (as Wayland and Windows report a scale of 2) and one of 192 DPI (as
# an X11 desktop at scale 2 sets Xft.dpi). Each 2x picture is twice the 1x size and, brought back to that
# size, looks like the 1x one. Only the Chinese font the package depends on is there to draw them.
set -euo pipefail

test_program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
fail() { echo "$*" >&2; exit 1; }

# The font of fonts-noto-cjk or fonts-wqy-microhei, whichever is installed, and no other.
fonts="$(dpkg -L fonts-noto-cjk fonts-wqy-microhei 2>/dev/null | grep -E '\.(ttc|otf|ttf)$' || true)"
[ -n "$fonts" ] || fail "neither fonts-noto-cjk nor fonts-wqy-microhei is installed (scripts/setup.sh installs one)"
{
    echo '<?xml version="1.0"?><fontconfig>'
    for f in $fonts; do echo "<dir>$(dirname "$f")</dir>"; done | sort -u
    echo "<cachedir>$work/font-cache</cachedir></fontconfig>"
} >"$work/fonts.conf"
export FONTCONFIG_FILE="$work/fonts.conf"

# $1 name, $2 the screen's JSON fields, then VAR=value settings: the test on an offscreen screen of that kind.
run_at() {
    local name="$1" screen="$2"
    shift 2
    mkdir -p "$work/$name"
    printf '{"screens":[{"name":"s","x":0,"y":0,"width":3840,"height":2400,%s}]}' "$screen" >"$work/$name.json"
    env "$@" QT_QPA_PLATFORM="offscreen:configfile=$work/$name.json" VANTOR_SHOTS="$work/$name" \
        "$test_program" >"$work/$name.log" 2>&1 || fail "at $name: $(cat "$work/$name.log")"
}
run_at 1x '"logicalDpi":96,"logicalBaseDpi":96,"dpr":1'
run_at 2x '"logicalDpi":96,"logicalBaseDpi":96,"dpr":2'
run_at dpi192 '"logicalDpi":192,"logicalBaseDpi":96,"dpr":1'

size() { identify -format '%w %h\n' "$1"; }
shots=("$work"/1x/*.png)
[ ${#shots[@]} -eq 4 ] || fail "expected 4 pictures, got: ${shots[*]}"
for one in "${shots[@]}"; do
    name="$(basename "$one" .png)"
    read -r w h < <(size "$one")
    for scaled in 2x dpi192; do
        two="$work/$scaled/$name.png"
        read -r w2 h2 < <(size "$two")
        # Twips are rounded to whole pixels at each scale: a pixel or two either way.
        [ $((w2 - 2 * w)) -ge -2 ] && [ $((w2 - 2 * w)) -le 2 ] && [ $((h2 - 2 * h)) -ge -2 ] &&
            [ $((h2 - 2 * h)) -le 2 ] || fail "$name at $scaled is ${w2}x${h2}, at 1x ${w}x${h}"
        # Softened a little, as text drawn at twice the size is shaped a little differently; then the
        # normalised root-mean-square difference, 0 (same) to 1. Same windows measure below 0.02, one
        # with a few characters of one caption gone about 0.04, a layout moved by 3 pixels about 0.07.
        convert "$two" -resize "${w}x${h}!" -blur 0x1 "$work/back.png"
        convert "$one" -blur 0x1 "$work/one.png"
        diff="$(compare -metric RMSE "$work/one.png" "$work/back.png" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p')" || true
        echo "$name at $scaled: ${w2}x${h2}, difference $diff"
        awk -v d="$diff" 'BEGIN { exit !(d != "" && d < 0.03) }' ||
            fail "$name at $scaled does not look like the 1x window (difference $diff)"
    done
done
echo "windows at scale ok"
