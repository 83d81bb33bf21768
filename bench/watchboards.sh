#!/usr/bin/env bash
# WatchBoards with 16 boards published by the stand-in service, traffic on
# every board, and no board named: its resident memory, and the
# instructions a second of the whole process in steady state, in each mode:
# lines, JSON, a 120x50 screen and the metrics file (at most 150,000).  A
# second is the difference of a run of 7 rounds and one of 2, over 5, each
# counted by callgrind against a fresh service.  Then 1,024 boards in lines
# and the metrics file (at most 5 million, and 70 times the cost of 16), and
# 16 boards among 5,000 files that are not blocks (at most 20% more); and the
# instructions of a whole short run beside a monitor's.  Runs the stand-in
# service: it holds /tmp/prp-suite.lock while it does, as the tests do.
# Usage: bench/watchboards.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin=$PWD/$build/bin
for tool in valgrind script /usr/bin/time flock; do
    command -v $tool >/dev/null || { echo "needs $tool (apt-get install -y valgrind util-linux time)" >&2; exit 1; }
done
exec 9>/tmp/prp-suite.lock
flock 9
work=$(mktemp -d)
service=
stop_service() { [ -z "$service" ] || { kill $service 2>/dev/null; wait $service 2>/dev/null || true; }; service=; }
trap 'stop_service; rm -rf "$work"' EXIT
read -ra boards <<<"$(seq -s ' ' 0 15)"
ulimit -n 4096 # a descriptor for each block, in the service and in WatchBoards
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

options() { # MODE: WatchBoards' options for it
    case $1 in
    lines) echo "-l" ;; json) echo "-j" ;; screen) echo "" ;;
    textfile) echo "--textfile $work/boards.prom" ;;
    esac
}

printf '%-48s %12s\n' "WatchBoards, 16 boards, 8 rounds" "peak KiB"
for mode in lines json screen textfile; do
    start_service
    run="/usr/bin/time -f %M -o $work/peak $bin/WatchBoards $(options $mode) -n 8"
    if [ $mode = screen ]; then on_screen "$run"; else $run >/dev/null; fi
    printf '%-48s %12s\n' "$mode" "$(tail -1 "$work/peak")"
done

# Sets counted to the instructions of a whole run of ROUNDS rounds.
whole_run() { # MODE ROUNDS
    local run="valgrind --tool=callgrind --callgrind-out-file=$work/$1.$2 \
        $bin/WatchBoards $(options "$1") -n $2"
    start_service
    if [ "$1" = screen ]; then on_screen "$run"; else eval "$run" >/dev/null 2>&1; fi
    counted=$(callgrind_annotate "$work/$1.$2" 2>/dev/null |
        sed -n 's/^ *\([0-9,]*\) .*PROGRAM TOTALS.*/\1/p' | tr -d ,)
}
a_second() { # MODE LABEL
    whole_run "$1" 2
    local short=$counted
    whole_run "$1" 7
    second=$(((counted - short) / 5))
    printf '%-48s %12s %12s\n' "$2" "$short" "$second"
}
printf '\n%-48s %12s %12s\n' "instructions (at most 150,000 a second)" "run of 2" "a second"
for mode in lines json screen textfile; do
    a_second $mode $mode
    eval "sixteen_$mode=$second"
done

read -ra boards <<<"$(seq -s ' ' 1000 2023)"
printf '\n%-48s %12s %12s\n' "1,024 boards (at most 5 million a second)" "run of 2" "a second"
for mode in lines textfile; do
    a_second $mode $mode
    eval "sixteen=\$sixteen_$mode"
    printf '%-48s %12s\n' "  times the cost of 16 (at most 70)" "$((second / sixteen))"
done
start_service
printf '%-48s %12s\n' "  lines, 8 rounds: peak KiB" \
    "$(/usr/bin/time -f %M "$bin/WatchBoards" -l -n 8 2>&1 >/dev/null | tail -1)"

read -ra boards <<<"$(seq -s ' ' 0 15)"
trap 'stop_service; rm -rf "$work" /dev/shm/watchboards-bench-*' EXIT
for i in $(seq 5000); do : >"/dev/shm/watchboards-bench-$i"; done
printf '\n%-48s %12s %12s\n' "16 boards among 5,000 other files (20% more)" "run of 2" "a second"
a_second lines lines
printf '%-48s %12s%%\n' "  more than without them" "$(((second - sixteen_lines) * 100 / sixteen_lines))"
rm -f /dev/shm/watchboards-bench-*
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
