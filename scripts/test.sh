#!/usr/bin/env bash
# Builds the suite for Linux and for Windows (cross-built, run under Wine)
# and runs every test: the Linux suite once more with AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for a short while; then
# makes the packages and tries them (installing the Debian packages for the
# while, as root).  As root it installs what is missing.
# With --linux-only it leaves the Windows build out.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
windows=yes only=()
[ "${1:-}" = "--linux-only" ] && windows= only=(--linux-only)
need_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${TEST_PACKAGES[@]}" \
    ${windows:+"${WINDOWS_PACKAGES[@]}"}

cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default
ctest --preset default

# The programs alone, as a packager builds them against the maker's library:
# here a double of it, with the tests that need no stand-in.
cmake --preset programs
cmake --build --preset programs
ctest --preset programs

# Every report of a sanitizer, in a program a test ran or in a test, is
# written to build-asan/reports: any there fails the run.
cmake --preset asan
cmake --build --preset asan
rm -f build-asan/reports/*
ctest --preset asan
if [ -n "$(ls -A build-asan/reports)" ]; then
    cat build-asan/reports/*
    exit 1
fi

bash scripts/fuzz.sh 20

if [ -n "$windows" ]; then
    cmake --preset windows -DBUILD_TESTING=ON
    cmake --build --preset windows
    start_wine
    trap 'wineserver -k 2>/dev/null || true' EXIT
    ctest --preset windows
fi

# The packages, made and tried as their users meet them.
bash scripts/package.sh "${only[@]}"
bash tests/packages.sh dist "${only[@]}"
