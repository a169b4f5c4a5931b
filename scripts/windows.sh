#!/usr/bin/env bash
# The Windows cross-build, driven from make: Qt for Windows, the build tree build-windows/ (CMake preset
# "windows"), its tests under Wine and the portable zip.
#   windows.sh test      build and run the Windows tests
set -euo pipefail
cd "$(dirname "$0")/.."

configure() {
    local ui=$1
    cmake --preset windows -DVANTOR_BUILD_UI="$ui" >/dev/null
}

case "${1:-}" in
test)
    configure OFF
    cmake --build --preset windows
    ctest --preset windows
    ;;
*)
    echo "usage: $0 test" >&2
    exit 2
    ;;
esac
