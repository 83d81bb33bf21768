#!/usr/bin/env bash
# Builds every package into dist/: the Debian packages prp-hsr-tools and
# prp-hsr-standins, the Windows zips of the programs and of the stand-ins,
# and the MSI of the programs.  As root it installs what is missing.
# With --linux-only it makes the Debian packages only.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
windows=yes
[ "${1:-}" = "--linux-only" ] && windows=
need_packages "${BUILD_PACKAGES[@]}" "${PACKAGING_PACKAGES[@]}" \
    ${windows:+"${WINDOWS_PACKAGES[@]}" "${WINDOWS_PACKAGING_PACKAGES[@]}"}
rm -rf dist
mkdir dist

# Debian's packages, built from a copy of the sources: dpkg-buildpackage
# leaves its results beside the folder it builds in.
rm -rf build-deb
mkdir -p build-deb/src
{ git ls-files -z --cached --others --exclude-standard 2>/dev/null || find . -path ./build-deb -prune -o -type f -print0; } |
    xargs -0 cp --parents -t build-deb/src
(cd build-deb/src && DEB_BUILD_OPTIONS=noautodbgsym dpkg-buildpackage -b -us -uc -J2)
cp build-deb/*.deb dist/
[ -n "$windows" ] || exit 0

# The Windows zips, by CPack from the components of the Windows build.
cmake --preset windows
cmake --build --preset windows
(cd build-windows && cpack)
cp build-windows/packages/*.zip dist/

# The MSI of what the programs' install puts in place.  wixl takes only
# relative sources, and writes no PATH entry: msibuild adds the entry and
# the actions that write it on install and remove it on uninstall.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
msi=build-windows/msi
rm -rf "$msi"
cmake --install build-windows --prefix "$msi/programs"
(
    cd "$msi"
    find programs -type f | sort |
        wixl-heat -p programs/ --directory-ref INSTALLDIR --component-group ProgramFiles \
            --var var.SourceDir --win64 >files.wxs
    wixl -a x64 -D Version="$version" -D SourceDir=programs -D Win64=yes -o tools.msi \
        ../../packaging/windows/prp-hsr-tools.wxs files.wxs
    msibuild tools.msi -i ../../packaging/windows/Environment.idt \
        -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('RemoveEnvironmentStrings', 3300)" \
        -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('WriteEnvironmentStrings', 5200)"
)
cp "$msi/tools.msi" "dist/prp-hsr-tools-$version-windows-x64.msi"
ls dist
