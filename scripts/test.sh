#!/usr/bin/env bash
# Builds the suite and runs every test.  As root it installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages "${BUILD_PACKAGES[@]}" util-linux

cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default
ctest --preset default
