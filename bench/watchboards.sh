#!/usr/bin/env bash
# WatchBoards with 16 boards published by the stand-in service: resident
# memory, instructions per one-second cycle in steady state (counted by
# callgrind in the round alone) in lines, on a 120x50 screen and writing
# the metrics file (at most 60,000 a cycle, the file's writing included), and the
# instructions of a whole short run beside a monitor's.  Runs the stand-in
# service: hold /tmp/prp-suite.lock while it runs on a shared machine.
# Usage: bench/watchboards.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin=$PWD/$build/bin
for tool in valgrind script /usr/bin/time; do
    command -v $tool >/dev/null || { echo "needs $tool (apt-get install -y valgrind util-linux time)" >&2; exit 1; }
done
work=$(mktemp -d)
service=
stop_service() { [ -z "$service" ] || { kill $service 2>/dev/null; wait $service 2>/dev/null || true; }; service=; }
trap 'stop_service; rm -rf "$work"' EXIT
read -ra boards <<<"$(seq -s ' ' 0 15)"
# A fresh service for each run: the counters' sizes (their digits) change
# the cost a little, so runs compared start from the same counters.
start_service() {
    stop_service
    "$bin/RiDuvOzi.exe" "${boards[@]}" >/dev/null </dev/null &
    service=$!
    sleep 1.5
}

# On a terminal of 120x50, made by script(1).  Its standard input stays
# open while the command runs (script ends the session at the end of its
# input), and is closed as soon as the command ends.
mkfifo "$work/input"
on_screen() {
    sleep 60 >"$work/input" &
    local input=$!
    script -qec "stty rows 50 cols 120; $*" /dev/null <"$work/input" >/dev/null
    kill $input
}

printf '%-48s %12s\n' "WatchBoards, 16 boards" "peak KiB"
start_service
printf '%-48s %12s\n' "lines, 8 rounds" \
    "$(/usr/bin/time -f %M "$bin/WatchBoards" -n 8 "${boards[@]}" 2>&1 >/dev/null | tail -1)"
start_service
on_screen "/usr/bin/time -f %M -o $work/peak $bin/WatchBoards -n 8 ${boards[*]}"
printf '%-48s %12s\n' "screen 120x50, 8 rounds" "$(tail -1 "$work/peak")"
start_service
printf '%-48s %12s\n' "metrics file, 8 rounds" \
    "$(/usr/bin/time -f %M "$bin/WatchBoards" --textfile "$work/boards.prom" -n 8 "${boards[@]}" 2>&1 | tail -1)"

# Sets rounds to the instructions in the round function over a run of
# ROUNDS rounds.  The round functions are never inlined, so that callgrind
# sees them entered.
in_rounds() { # lines|screen|textfile ROUNDS
    local round=ShowLinesRound options=
    [ "$1" = screen ] && round=ShowScreenRound
    [ "$1" = textfile ] && round=ShowMetricsRound options="--textfile $work/boards.prom"
    local run="valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*$round*' \
        --callgrind-out-file=$work/$1.$2 $bin/WatchBoards $options -n $2 ${boards[*]}"
    start_service
    if [ "$1" = screen ]; then on_screen "$run"; else eval "$run" >/dev/null 2>&1; fi
    rounds=$(callgrind_annotate "$work/$1.$2" 2>/dev/null |
        sed -n 's/^ *\([0-9,]*\) .*PROGRAM TOTALS.*/\1/p' | tr -d ,)
}
# The first round opens the blocks and draws everything: the cycle is what
# rounds 3 to 8 cost, the difference of a run of 8 and one of 2, over 6.
cycle() { # lines|screen|textfile LABEL
    local first short
    in_rounds "$1" 1
    first=$rounds
    in_rounds "$1" 2
    short=$rounds
    in_rounds "$1" 8
    printf '%-48s %12s %12s\n' "$2" "$first" $(((rounds - short) / 6))
}
printf '\n%-48s %12s %12s\n' "instructions per round (at most 50,000 a cycle)" "first" "cycle"
cycle lines "lines"
cycle screen "screen 120x50"
cycle textfile "metrics file (at most 60,000 a cycle)"
stop_service

count() { # INPUT PROGRAM [ARG...]: a whole run, loader included
    local input=$1; shift
    printf '%s' "$input" | valgrind --tool=callgrind --callgrind-out-file="$work/out" "$@" \
        2>&1 >/dev/null | sed -n 's/.*Collected : //p'
}
printf '\n%-48s %12s\n' "whole run" "instructions"
printf '%-48s %12s\n' "WatchTxOctets, no block" "$(count 987654 "$bin/WatchTxOctets")"
printf '%-48s %12s\n' "WatchBoards -n 1, one board, no block" "$(count '' "$bin/WatchBoards" -n 1 987654)"
start_service
printf '%-48s %12s\n' "WatchBoards -n 1, 16 boards" "$(count '' "$bin/WatchBoards" -n 1 "${boards[@]}")"
