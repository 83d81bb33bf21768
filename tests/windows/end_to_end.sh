#!/usr/bin/env bash
# The Windows programs under Wine, end to end: exact output bytes (Windows
# line ends), exit status, and the simulated board's journal.
# Usage: end_to_end.sh BIN_DIR
set -u
bin=$1
export WINEDEBUG=-all
work=$(mktemp -d)
export QVGPIO_SIM_DIR=$work/boards
service=
trap '[ -n "$service" ] && kill $service 2>/dev/null; rm -rf "$work"' EXIT
passed=0 failed=0

# Runs PROGRAM with ARGS (one string, split at blanks) and INPUT (printf %b).
run() {
    local program=$1 args=$2 input=$3
    # shellcheck disable=SC2086
    printf '%b' "$input" | wine "$bin/$program.exe" $args >"$work/out" 2>/dev/null
    status=${PIPESTATUS[1]}
}

sim() { wine "$bin/qvgpio-sim.exe" "$@" 2>/dev/null | tr -d '\r'; }

# expect NAME PROGRAM ARGS INPUT OUTPUT STATUS JOURNAL
# OUTPUT is printf %b text with "\n" line ends; JOURNAL the calls, "|" between.
# Each case starts from fresh boards, with what "board" holds set on them.
board=
expect() {
    local name=$1 program=$2 args=$3 input=$4 output=$5 want=$6 journal=$7
    sim reset
    eval "$board"
    sim reset-journal
    run "$program" "$args" "$input"
    printf '%b' "$output" | perl -pe 's/\n/\r\n/g' >"$work/want"
    local calls
    calls=$(sim journal | paste -sd '|')
    if cmp -s "$work/out" "$work/want" && [ "$status" = "$want" ] && [ "$calls" = "$journal" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED $name: status $status (want $want), calls '$calls' (want '$journal')"
        diff <(od -c "$work/out") <(od -c "$work/want") | head -10
    fi
}

# refused NAME STATUS ERRORS COMMAND...: the command ends with STATUS after
# saying ERRORS (one line) on standard error.
refused() {
    local name=$1 want=$2 errors=$3
    shift 3
    "$@" </dev/null >/dev/null 2>"$work/errors"
    local status=$?
    if [ "$status" = "$want" ] && [ "$(tr -d '\r' <"$work/errors")" = "$errors" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED $name: status $status (want $want): $(cat "$work/errors")"
    fi
}

ask='Enter the boardIndex:\n'
port='Select Port to configure: 2: Port0, 4: Port1, 8: Port2'
tabs=' \t\t\t\t\t\t\t\t\t\t '
menu="Select counter value to get:\n${tabs}0: RX GOOD OCTETS\n${tabs}1: RX ERR\n${tabs}2: RX WRONGLAN\n${tabs}3: RX DUPLICATE\n${tabs}\n"
guard='ziZidOzevadu is running, to run this program, please stop the ziZidOzevadu\nExit the program\n'
hsr() { echo "SelectHsrMode($1)|SetLinkSpeedMode($1)|ConfigureGpioMode($1, 1)|SetLedValue($1, 1)"; }
prp() { echo "SelectPrpMode($1)|SetLinkSpeedMode($1)|ConfigureGpioMode($1, 0)|SetLedValue($1, 0)"; }
links() { printf 'Get mode control register of LanA...............................\nLink Status of LanA = 0x%s\nGet mode control register of LanB...............................\nLink Status of LanB = 0x%s\n' "$1" "$2"; }

# Mode switches: board index from the argument (_wtol) or the prompt.
expect hsr-argument SelectHsrMode 2 '' '' 0 "$(hsr 0x5a)"
expect hsr-not-a-number SelectHsrMode abc '' '' 0 "$(hsr 0x58)"
expect hsr-clamped SelectHsrMode 99999999999 '' '' 0 "$(hsr 0x57)"
expect prp-typed SelectPrpMode '' '1\n' "$ask" 0 "$(prp 0x59)"
expect prp-typed-168 SelectPrpMode '' '168\n' "$ask" 0 "$(prp 0x00)"
expect prp-unparsable SelectPrpMode '' 'x\n' "$ask" 0 "$(prp 0x58)"

# Counters and link status of the simulated board.
expect rx-err ShowRxCounter '' '1\n2 1\n' "$ask$port\nportSel = 2\n${menu}rxCounter = 0x0\n" 0 \
    'GetRxCounter(0x59, 2, 0x112)|GetRxCounter(0x59, 2, 0x113)'
expect rx-off-menu ShowRxCounter '' '1\n258\n9\n' "$ask$port\nportSel = 2\n${menu}rxCounter = 0x0\n" 0 ''
expect tx ShowTxCounter '' '3\n4\n' "$ask${port}txCount = 0\n" 0 \
    'GetTxCounter(0x5b, 4, 0x140)|GetTxCounter(0x5b, 4, 0x141)'
expect links ShowLinkStatus '' '1\n' "$ask$(links 0 0)\n" 0 'GetLinkStatus(0x59, 4)|GetLinkStatus(0x59, 6)'

# Values set on the board.
board='sim set-counter 0x59 2 0x112 0x00011234; sim set-counter 0x5b 4 0x140 0xffffffff
       sim set-link-status 0x59 4 0x2d'
expect rx-value ShowRxCounter '' '1\n2\n1\n' "$ask$port\nportSel = 2\n${menu}rxCounter = 0x11234\n" 0 \
    'GetRxCounter(0x59, 2, 0x112)|GetRxCounter(0x59, 2, 0x113)'
expect tx-largest ShowTxCounter '' '3\n4\n' "$ask${port}txCount = 4294967295\n" 0 \
    'GetTxCounter(0x5b, 4, 0x140)|GetTxCounter(0x5b, 4, 0x141)'
expect link-value ShowLinkStatus '' '1\n' "$ask$(links 2d 0)\n" 0 'GetLinkStatus(0x59, 4)|GetLinkStatus(0x59, 6)'

board=
refused no-such-lan 2 'qvgpio-sim: LAN must be 4 (LanA) or 6 (LanB), not 5' \
    wine "$bin/qvgpio-sim.exe" set-link-status 0x59 5 1

# A tool without qvgpio.dll beside it is refused by the loader before it
# prints anything.
mkdir "$work/elsewhere"
cp "$bin/ShowLinkStatus.exe" "$bin/RiDuvOzi.exe" "$work/elsewhere/"
printf '1\n' | wine "$work/elsewhere/ShowLinkStatus.exe" >"$work/out" 2>/dev/null
if [ "${PIPESTATUS[1]}" -ne 0 ] && [ ! -s "$work/out" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED loader: a tool without qvgpio.dll ran"
fi

# Run by qvgpio-sim, the same tool finds the simulator through PATH.
expect run-elsewhere qvgpio-sim "run Z:$work/elsewhere/ShowLinkStatus.exe" '1\n' "$ask$(links 0 0)\n" 0 \
    'GetLinkStatus(0x59, 4)|GetLinkStatus(0x59, 6)'

# Only a process named exactly RiDuvOzi.exe stops the tools.
mv "$work/elsewhere/RiDuvOzi.exe" "$work/elsewhere/riduvozi.exe"
wine "$work/elsewhere/riduvozi.exe" 8 >"$work/service" 2>&1 &
service=$!
for _ in $(seq 100); do grep -q 'publishing' "$work/service" && break; sleep 0.1; done
expect decoy SelectHsrMode 2 '' '' 0 "$(hsr 0x5a)"
kill $service; wait $service 2>/dev/null; service=

# Monitors without the service.
open2='Enter the board index:Could not open file mapping object (2).\n'
hint='Check if ziZidOzevadu is started.\n'
expect watch-links-missing WatchLinkStatus '' '7\n' "$open2" 1 ''
expect watch-tx-missing WatchTxOctets '' '7\n' "$open2$hint" 1 ''
expect watch-rx-missing WatchRxCounters '' '7\n' "$open2$hint" 1 ''
expect run-status qvgpio-sim 'run WatchLinkStatus' '7\n' "$open2" 1 ''

# With the stand-in service: the board tools stop, the monitors watch.
wine "$bin/RiDuvOzi.exe" 7 7:txOctetsA=4294967295 7:txOctetsB=5 7:linkStatusA=1 7:linkStatusB=0 \
    >"$work/service" 2>&1 &
service=$!
for _ in $(seq 100); do grep -q 'linkStatusB held' "$work/service" && break; sleep 0.1; done
refused second-service 1 'RiDuvOzi.exe: Global\QvPrpFileMapObject7: board 7 is published by another service' \
    wine "$bin/RiDuvOzi.exe" 7
for tool in SelectHsrMode SelectPrpMode ShowRxCounter ShowTxCounter ShowLinkStatus; do
    expect "guard-$tool" "$tool" '' '1\n2\n3\n' "$guard" 1 ''
done
watch() { # NAME PROGRAM GROUP
    printf '7\n' | timeout 2.5 wine "$bin/$2.exe" >"$work/out" 2>/dev/null
    printf '%b' "Enter the board index:$3$3" | perl -pe 's/\n/\r\n/g' >"$work/want"
    if cmp -s -n "$(stat -c %s "$work/want")" "$work/out" "$work/want"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1)); echo "FAILED $1:"; od -c "$work/out" | head -10
    fi
}
watch watch-tx WatchTxOctets 'prpValue.txOctetsA = -1\nprpValue.txOctetsB = 5\n'
watch watch-links WatchLinkStatus 'prpValue.linkStatusA = 1\nprpValue.linkStatusB = 0\n'
# WatchBoards in lines: the header, then board 7 each second, its counters
# unsigned (txOctetsA held at 4294967295).
views() { # NAME ARGS STATUS PATTERN: PATTERN a Perl regex for the whole output, '|' for each line end
    # shellcheck disable=SC2086
    timeout 20 wine "$bin/WatchBoards.exe" $2 >"$work/out" 2>/dev/null </dev/null
    local got=$?
    if [ "$got" = "$3" ] && { [ -z "$4" ] && [ ! -s "$work/out" ] ||
        tr -d '\r' <"$work/out" | tr '\n' '|' | grep -qxP "$4"; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1)); echo "FAILED $1: status $got (want $3):"; od -c "$work/out" | head -10
    fi
}
line7='[0-9T:Z-]{20}\t7\tlive\t1\t0\t[0-9]+\t[0-9]+\t4294967295\t5\t[0-9]+\t[0-9]+'
views view-lines '-n 2 7' 0 "time\tboard\tstate\t[^|]*\tresets\|$line7[^|]*\|$line7\t[0-9]+\t[0-9]+\t[0-9]+\t0\t0[^|]*\|"
views view-json '--json -n 1 7' 0 '\{"time":"[0-9T:Z-]{20}","board":7,"state":"live",[^|]*"resets":0\}\|'
views view-bad-option '--bogus' 2 ''
kill $service; wait $service 2>/dev/null; service=
views view-gone '-n 1 --json 7' 0 '\{"time":"[0-9T:Z-]{20}","board":7,"state":"gone",[^|]*\}\|'
expect watch-after-service WatchTxOctets '' '7\n' "$open2$hint" 1 ''

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
