#!/usr/bin/env bash
# Builds the suite for Linux and for Windows (cross-built, run under Wine)
# and runs every test.  As root it installs what is missing.
# With --linux-only it leaves the Windows build out.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
windows=yes
[ "${1:-}" = "--linux-only" ] && windows=
need_packages "${BUILD_PACKAGES[@]}" util-linux tmux ${windows:+"${WINDOWS_PACKAGES[@]}"}

cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default
ctest --preset default

if [ -n "$windows" ]; then
    cmake --preset windows -DBUILD_TESTING=ON
    cmake --build --preset windows
    start_wine
    trap 'wineserver -k 2>/dev/null || true' EXIT
    ctest --preset windows
fi
