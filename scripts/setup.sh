#!/usr/bin/env bash
# Installs what building, running and testing Vantor needs on Debian 12. Idempotent: packages that are
# already installed are not fetched again, so a second run costs a second.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libqt6dbus6
    libgl1-mesa-dev libxkbcommon-dev
    libgtest-dev libgmock-dev googletest
    libxcb1-dev libxcb-screensaver0-dev libxcb-randr0-dev
    libwayland-dev wayland-protocols plasma-wayland-protocols
    # wlroots' foreign-toplevel protocol description, which Debian ships only with this crate's sources.
    librust-wayland-protocols-dev
    fonts-wqy-microhei fonts-noto-cjk
    xvfb xauth x11-utils xdotool openbox imagemagick
    dbus python3-dbusmock
    # busctl and gdbus, to call the running copy on a test's own session bus.
    systemd libglib2.0-bin
    clang libclang-rt-14-dev
    at-spi2-core python3-pyatspi
    # make install and make package, and their checks: the icon sizes drawn from the SVG, the menu
    # entry's and metainfo's validators, dpkg-shlibdeps (dpkg-dev, file), Qt's platform plugins for the
    # installed program.
    librsvg2-bin desktop-file-utils appstream dpkg-dev file qt6-qpa-plugins
    # The Windows build and its tests: the MinGW-w64 cross compiler (POSIX threads) and Wine, which finds
    # the Chinese font above when it creates its prefix.
    g++-mingw-w64-x86-64-posix wine64 xz-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages and not root; install them with: sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
