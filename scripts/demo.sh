#!/usr/bin/env bash
# Builds the suite and shows it at work against the simulated board and the
# stand-in statistics service.  As root it installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages "${BUILD_PACKAGES[@]}"

cmake --preset default >/dev/null
cmake --build --preset default >/dev/null
bin=$PWD/build/bin
export PATH=$bin:$PATH

# The simulated boards of this demo live in a folder of their own.
export QVGPIO_SIM_DIR=$(mktemp -d)
service=
finish() {
    [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null
    rm -rf "$QVGPIO_SIM_DIR"
}
trap finish EXIT

say() { printf '\n\033[1m%s\033[0m\n' "$*"; }
show() {
    printf '$ %s\n' "$*"
    local status=0
    bash -c "$*" || status=$?
    [ $status -eq 124 ] && echo "[stopped by timeout]" || echo "[status $status]"
}

say "Switch board 2 (address 0x5a) to HSR, board 1 (0x59) to PRP at the prompt"
show 'SelectHsrMode 2'
show 'echo 1 | SelectPrpMode'
show 'qvgpio-sim show 0x5a'
show 'qvgpio-sim show 0x59'

say "Read counters and link status that the simulated board 1 holds"
qvgpio-sim set-counter 0x59 2 0x112 0x00011234   # RX ERR of Port0
qvgpio-sim set-counter 0x59 4 0x140 3000000000   # transmit octets of Port1
qvgpio-sim set-link-status 0x59 4 0x2d
qvgpio-sim set-link-status 0x59 6 0
show "printf '1\n2\n1\n' | ShowRxCounter"
echo
show "printf '1\n4\n' | ShowTxCounter"
show 'echo 1 | ShowLinkStatus'
say "Every call the board saw, in order"
show 'qvgpio-sim journal'

say "Start the statistics service for boards 0 and 1; watch them for three seconds each"
RiDuvOzi.exe 0 1 1:linkStatusB=0 &
service=$!
sleep 0.5
show 'echo 0 | timeout 3 WatchTxOctets'
show 'echo 1 | timeout 3 WatchLinkStatus'
show 'echo 1 | timeout 2 WatchRxCounters'

say "While the service runs, the board tools refuse to touch a board"
show 'SelectPrpMode 2'

say "Stop the service: the monitors find no block, the board tools work again"
kill "$service"; wait "$service" || true; service=
show 'echo 0 | WatchTxOctets'
show 'SelectPrpMode 2'
show 'qvgpio-sim show 0x5a'

say "Every board at once: the service again for boards 0 and 1, board 1's LanB held still"
RiDuvOzi.exe 0 1 1:rxGoodOctetsB=5 >/dev/null &
service=$!
sleep 0.5
show 'WatchBoards -n 4 0 1 | cut -f 2-3,6-7,13-14,19,21,24'
kill "$service"; wait "$service" || true; service=
