#!/usr/bin/env bash
# The Windows stand-ins under Wine, in a folder whose name has letters
# outside any ANSI code page: the store's paths reach the system and the
# failure lines whole (in UTF-8 when standard error is no console), and a
# store that cannot be used is never taken for an empty one.  Also what the
# stand-ins install.
# Usage: standins.sh BIN_DIR BUILD_DIR
set -u
bin=$1 build=$2
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder=$work/ë板
mkdir "$folder"
export QVGPIO_SIM_DIR=$folder/boards
passed=0 failed=0

# expect NAME WANT COMMAND...: the command's standard output and error,
# line ends made Unix ones, then "status N", are WANT.
expect() {
    local name=$1 want=$2
    shift 2
    local got
    got=$("$@" 2>&1 </dev/null | tr -d '\r'; echo "status ${PIPESTATUS[0]}")
    if [ "$got" = "$want" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED %s:\n--- want\n%s\n--- got\n%s\n' "$name" "$want" "$got"
    fi
}
sim() { wine "$bin/qvgpio-sim.exe" "$@"; }
links=$'Enter the boardIndex:
Get mode control register of LanA...............................
Link Status of LanA = 0x2d
Get mode control register of LanB...............................
Link Status of LanB = 0x0'

# A store in a folder named ë板: set, shown, read by a tool, journalled.
expect set "status 0" sim set-link-status 0x59 4 0x2d
expect show $'link-status-04 0x2d\nstatus 0' sim show 0x59
expect tool "$links"$'\nstatus 0' sh -c 'echo 1 | wine "$0/ShowLinkStatus.exe"' "$bin"
expect journal $'GetLinkStatus(0x59, 4)\nGetLinkStatus(0x59, 6)\nstatus 0' sim journal
[ -f "$folder/boards/board-59/link-status-04" ] && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); echo "FAILED store: not in $folder/boards"; }

# A store it cannot use: the failure line names it whole, and show fails.
touch "$folder/file"
export QVGPIO_SIM_DIR=$folder/file
expect show-not-a-folder "qvgpio-sim: $folder/file: Not a directory"$'\nstatus 1' sim show 0x59
export QVGPIO_SIM_DIR=$folder/file/boards
expect show-through-a-file "qvgpio-sim: $folder/file/boards: Not a directory"$'\nstatus 1' \
    sim show 0x59
export QVGPIO_SIM_DIR=$folder/file
expect tool-not-a-folder "qvgpio simulator: $folder/file: Not a directory"$'\nstatus 0' \
    wine "$bin/SelectHsrMode.exe" 2
export QVGPIO_SIM_DIR=$folder/a\|b
expect show-bad-name "qvgpio-sim: $folder/a|b: Invalid argument"$'\nstatus 1' sim show 0x59
export QVGPIO_SIM_DIR=$folder/boards

# A program with such a name, run on the simulator from elsewhere.
cp "$bin/ShowLinkStatus.exe" "$folder/Shöw板.exe"
expect run "$links"$'\nstatus 0' sh -c 'echo 1 | wine "$0/qvgpio-sim.exe" run "Z:$1/Shöw板.exe"' \
    "$bin" "$folder"
expect run-missing "qvgpio-sim: Z:$folder/Nöne板.exe: cannot run it (error 2)"$'\nstatus 127' \
    sim run "Z:$folder/Nöne板.exe"

# Without qvgpio.dll the loader refuses a tool: on Windows with
# STATUS_DLL_NOT_FOUND (0xC0000135); Wine's launcher ends with its low byte.
expect no-library "status 53" sh -c 'echo 1 | wine "$0/Shöw板.exe" >/dev/null 2>&1' "$folder"

# The stand-ins install the DLL, and not its import library.
cmake --install "$build" --prefix "$work/installed" --component standins >/dev/null
expect installed $'./lib/prp-hsr-standins/RiDuvOzi.exe\n./lib/prp-hsr-standins/qvgpio-sim.exe
./lib/prp-hsr-standins/qvgpio.dll\nstatus 0' \
    sh -c 'cd "$0" && find ./lib -type f | LC_ALL=C sort' "$work/installed"

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
