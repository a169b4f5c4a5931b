#!/usr/bin/env bash
# make package's .deb, built with CPack into $2 and read with dpkg-deb: its control data (the libraries
# dpkg-shlibdeps found, Qt's platform plugins, a Chinese font, the purge script) and its files (the
# program, menu entry, metainfo and icons, all under /usr). deb_install.sh installs the same file.
set -euo pipefail

build="$1"
out="$2"
fail() { echo "$*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || fail "$(cat "$out/cpack.log")"
debs=("$out"/vantor_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "not one .deb in $out: ${debs[*]}"
deb="${debs[0]}"

info="$(dpkg-deb -I "$deb")"
field() { sed -n "s/^ $1: //p" <<<"$info"; }
[ "$(field Package)" = vantor ] || fail "package name: $(field Package)"
depends="$(field Depends)"
for dep in libc6 libqt6widgets6 libqt6dbus6 libxcb1 qt6-qpa-plugins \
    'fonts-noto-cjk | fonts-wqy-microhei'; do
    grep -qF "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done
grep -qF qt6-wayland <<<"$(field Recommends)" || fail "Recommends lacks qt6-wayland: $(field Recommends)"
dpkg-deb -I "$deb" postrm | grep -qF 'Exec="/usr/bin/vantor"' || fail "no purge script for the autostart entry"

# Every file under /usr, and the ones a desktop needs among them.
files="$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)"
outside="$(grep -v '^\./usr/' <<<"$files" || true)"
[ -z "$outside" ] || fail "files outside /usr: $outside"
id=org.vantor.Vantor
expected=(./usr/bin/vantor ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml
    ./usr/share/icons/hicolor/scalable/apps/$id.svg)
for size in 16 22 24 32 48 64 128 256; do
    expected+=(./usr/share/icons/hicolor/${size}x${size}/apps/$id.png)
done
for f in "${expected[@]}"; do
    grep -qx -- "$f" <<<"$files" || fail "the package lacks $f"
done
[ "$(wc -l <<<"$files")" -eq ${#expected[@]} ] || fail "unexpected files in the package: $files"
# Stripped: the build's debugging data stays out of the package.
dpkg-deb -x "$deb" "$out/x"
file "$out/x/usr/bin/vantor" | grep -q 'stripped' && ! file "$out/x/usr/bin/vantor" | grep -q 'not stripped' ||
    fail "the program in the package is not stripped"
rm -rf "$out/x"
echo "deb ok: $deb"
