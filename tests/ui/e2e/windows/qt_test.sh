#!/usr/bin/env bash
# Runs a QtTest program of the window shell under Wine beside the Windows program's Qt libraries and
# plugins: in a copy of the portable folder with Qt's test library added, on the Windows platform with its
# own style. Settings after the program (NAME=VALUE) go into its environment.
# Usage: qt_test.sh PORTABLE_FOLDER QT6TEST_DLL WINE_RUN SESSION TEST_EXE [NAME=VALUE...]
set -euo pipefail
portable="$1"
qt_test_dll="$2"
wine_run="$3"
session="$4"
test_exe="$5"
shift 5
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$portable/." "$work/"
cp "$qt_test_dll" "$test_exe" "$work/"
cd "$work"
# Wine hands the Unix environment on to the program.
env "$@" timeout 240 bash "$wine_run" "$session" "./$(basename "$test_exe")"
