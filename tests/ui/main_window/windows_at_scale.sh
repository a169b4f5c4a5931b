#!/usr/bin/env bash
# At twice the scale the windows look like the 1x ones, twice as large. ui_scaled_windows_test (which
# also checks that no text is cut off and that every character has a font) saves each window on a 1x
# screen and on two kinds of 2x screen: one with a device pixel ratio of 2 (as Wayland and Windows report
# a scale of 2) and one of 192 DPI (as an X11 desktop at scale 2 sets Xft.dpi). Each 2x picture is twice
# the 1x size and, brought back to that size, looks like the 1x one. The windows are drawn with nothing
# but the Chinese font the package depends on, once with each of the two it accepts that is installed.
set -euo pipefail

test_program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
fail() { echo "$*" >&2; exit 1; }
size() { identify -format '%w %h\n' "$1"; }

# $1 the font package's name, $2 where to work.
check_with_font() {
    local package="$1" dir="$2" fonts
    fonts="$(dpkg -L "$package" | grep -E '\.(ttc|otf|ttf)$')"
    mkdir -p "$dir"
    {
        echo '<?xml version="1.0"?><fontconfig>'
        for f in $fonts; do echo "<dir>$(dirname "$f")</dir>"; done | sort -u
        echo "<cachedir>$work/font-cache</cachedir></fontconfig>"
    } >"$dir/fonts.conf"

    local scale screen
    for scale in 1x 2x dpi192; do
        case $scale in
        1x) screen='"logicalDpi":96,"logicalBaseDpi":96,"dpr":1' ;;
        2x) screen='"logicalDpi":96,"logicalBaseDpi":96,"dpr":2' ;;
        dpi192) screen='"logicalDpi":192,"logicalBaseDpi":96,"dpr":1' ;;
        esac
        mkdir -p "$dir/$scale"
        printf '{"screens":[{"name":"s","x":0,"y":0,"width":3840,"height":2400,%s}]}' "$screen" >"$dir/$scale.json"
        FONTCONFIG_FILE="$dir/fonts.conf" QT_QPA_PLATFORM="offscreen:configfile=$dir/$scale.json" \
            VANTOR_SHOTS="$dir/$scale" "$test_program" >"$dir/$scale.log" 2>&1 ||
            fail "with $package at $scale: $(cat "$dir/$scale.log")"
    done

    local shots=("$dir"/1x/*.png) one name w h two w2 h2 diff
    [ ${#shots[@]} -eq 4 ] || fail "expected 4 pictures, got: ${shots[*]}"
    for one in "${shots[@]}"; do
        name="$(basename "$one" .png)"
        read -r w h < <(size "$one")
        for scale in 2x dpi192; do
            two="$dir/$scale/$name.png"
            read -r w2 h2 < <(size "$two")
            # Twips are rounded to whole pixels at each scale: a pixel or two either way.
            [ $((w2 - 2 * w)) -ge -2 ] && [ $((w2 - 2 * w)) -le 2 ] && [ $((h2 - 2 * h)) -ge -2 ] &&
                [ $((h2 - 2 * h)) -le 2 ] || fail "$name at $scale is ${w2}x${h2}, at 1x ${w}x${h} ($package)"
            # Softened a little, as text drawn at twice the size is shaped a little differently; then the
            # normalised root-mean-square difference, 0 (same) to 1. Same windows measure below 0.02, one
            # with a few characters of one caption gone about 0.04, a layout moved by 3 pixels about 0.07.
            convert "$two" -resize "${w}x${h}!" -blur 0x1 "$dir/back.png"
            convert "$one" -blur 0x1 "$dir/one.png"
            diff="$(compare -metric RMSE "$dir/one.png" "$dir/back.png" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p')" || true
            echo "$package: $name at $scale: ${w2}x${h2}, difference $diff"
            awk -v d="$diff" 'BEGIN { exit !(d != "" && d < 0.03) }' ||
                fail "$name at $scale does not look like the 1x window (difference $diff, $package)"
        done
    done
}

checked=0
for package in fonts-noto-cjk fonts-wqy-microhei; do
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        check_with_font "$package" "$work/$package"
        checked=$((checked + 1))
    fi
done
[ "$checked" -gt 0 ] || fail "neither fonts-noto-cjk nor fonts-wqy-microhei is installed (scripts/setup.sh installs them)"
echo "windows at scale ok"
