#!/usr/bin/env bash
# Builds Qt 6.4.2 for 64-bit Windows with MinGW-w64 from Debian 12's own source package qt6-base, with the
# same configuration as the prebuilt archive the team keeps (Core, Gui, Widgets, Test; shared, release),
# and installs it into PREFIX. About 15 minutes on 2 idle cores, 30 under load; peak 0.8 GB per compiler.
# The source package comes from the archive this machine installs from, through a private apt set-up
# (deb-src entries of its own sources), so the machine's apt settings stay as they are.
# Usage: build-windows-qt.sh PREFIX
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
prefix="$(realpath -m "$1")"
work="$(dirname "$prefix")/source-build"
mkdir -p "$work/apt/lists/partial" "$work/apt/parts"

echo "Building Qt for Windows from Debian's source package into $prefix (15 to 30 minutes)"
# deb-src entries for the machine's own package sources.
: >"$work/apt/parts/vantor-src.sources"
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -e 's/^Types: deb$/Types: deb-src/' "$f" >>"$work/apt/parts/vantor-src.sources"
    echo >>"$work/apt/parts/vantor-src.sources"
done
grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | sed 's/^deb /deb-src /' >"$work/apt/parts/vantor-src.list" || true
apt_options=(-o "Dir::Etc::SourceParts=$work/apt/parts" -o "Dir::Etc::SourceList=/dev/null"
    -o "Dir::State::Lists=$work/apt/lists")
apt-get "${apt_options[@]}" update -qq
if ! ls "$work"/qt6-base_6.4.2*.dsc >/dev/null 2>&1; then
    (cd "$work" && apt-get "${apt_options[@]}" source --download-only qt6-base)
fi
rm -rf "$work/src"
dpkg-source -x "$(ls "$work"/qt6-base_6.4.2*.dsc | head -n1)" "$work/src" >/dev/null

# Qt's build tools come from the build machine (qt6-base-dev-tools, the same version); the options are
# those of the prebuilt archive. Direct2D stays on: in 6.4 the DirectWrite font database of the Windows
# platform plugin is compiled only with it.
cmake -S "$work/src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_pkg_config=OFF -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_testlib=ON \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF -DFEATURE_androiddeployqt=OFF -DFEATURE_windeployqt=OFF \
    -DFEATURE_png=ON -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_systemtrayicon=ON -DFEATURE_style_fusion=ON
cmake --build "$work/build" -j2
cmake --install "$work/build" --strip
echo "Qt for Windows installed in $prefix"
