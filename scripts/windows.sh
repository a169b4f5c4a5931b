#!/usr/bin/env bash
# The Windows cross-build, driven from make: Qt for Windows, the build tree build-windows/ (CMake preset
# "windows"), its tests under Wine and the portable zip.
#   windows.sh test      build and run the Windows tests; without Qt for Windows the program is skipped
#   windows.sh package   build dist/vantor-windows-x64.zip, building Qt from source first when needed
set -euo pipefail
cd "$(dirname "$0")/.."

qt_archive=qt-6.4.2-x86_64-w64-mingw32.tar.xz
qt_root=build-windows/qt
qt_prefix=$qt_root/install
skip_reason=""

# The prebuilt Qt: VANTOR_WINDOWS_QT_ARCHIVE, or shared/toolchains/ beside the repository or one of its
# parent folders (the team's shared folder), or beside the local repository this one was cloned from (a
# clean clone made elsewhere, as CI makes one).
find_prebuilt() {
    if [ -n "${VANTOR_WINDOWS_QT_ARCHIVE:-}" ]; then
        echo "$VANTOR_WINDOWS_QT_ARCHIVE"
        return 0
    fi
    local start dir origin
    origin=$(git config --get remote.origin.url 2>/dev/null || true)
    origin=${origin#file://}
    for start in "$PWD" "$origin"; do
        [ -n "$start" ] && [ -d "$start" ] || continue
        dir=$(cd "$start" && pwd -P)
        while [ "$dir" != / ]; do
            dir=$(dirname "$dir")
            if [ -f "$dir/shared/toolchains/$qt_archive" ]; then
                echo "$dir/shared/toolchains/$qt_archive"
                return 0
            fi
        done
    done
    return 1
}

# Unpacks the prebuilt Qt into the build tree after checking its checksum; a tree already unpacked from
# the same archive is kept.
unpack_prebuilt() {
    local archive=$1 sum
    sum=$(sha256sum "$archive" | cut -d' ' -f1)
    if [ -f "$archive.sha256" ] && [ "$sum" != "$(cut -d' ' -f1 "$archive.sha256")" ]; then
        echo "The checksum of $archive does not match $archive.sha256: not used." >&2
        return 1
    fi
    if [ -f "$qt_root/source.sha256" ] && [ "$(cat "$qt_root/source.sha256")" = "$sum" ] &&
        [ -d "$qt_prefix" ]; then
        return 0
    fi
    echo "Unpacking Qt for Windows from $archive"
    rm -rf "$qt_prefix" "$qt_root/source.sha256"
    mkdir -p "$qt_root"
    tar -xJf "$archive" -C "$qt_root"
    echo "$sum" >"$qt_root/source.sha256"
}

# Makes Qt for Windows available in build-windows/qt/install. With "build", a missing Qt is built from
# Debian's source package; otherwise the reason it is missing is kept in skip_reason.
prepare_qt() {
    local archive
    if archive=$(find_prebuilt); then
        unpack_prebuilt "$archive" && return 0
    fi
    if [ -f "$qt_prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
        return 0 # built from source earlier
    fi
    if [ "${1:-}" = build ]; then
        bash scripts/build-windows-qt.sh "$qt_prefix"
        return 0
    fi
    skip_reason="no Qt for Windows: the prebuilt $qt_archive was not found in a shared/toolchains/ folder \
beside this repository or its parents (or VANTOR_WINDOWS_QT_ARCHIVE), and building Qt from source takes \
15 to 30 minutes, which \`make windows\` does"
    return 1
}

configure() {
    local ui=$1
    cmake --preset windows -DVANTOR_BUILD_UI="$ui" >/dev/null
}

case "${1:-}" in
test)
    if prepare_qt; then
        configure ON
    else
        configure OFF
    fi
    cmake --build --preset windows
    status=0
    ctest --preset windows || status=$?
    if [ -n "$skip_reason" ]; then
        echo "The Windows program was skipped: $skip_reason."
    fi
    exit "$status"
    ;;
package)
    prepare_qt build
    configure ON
    cmake --build --preset windows --target vantor_windows_zip
    ;;
*)
    echo "usage: $0 test|package" >&2
    exit 2
    ;;
esac
