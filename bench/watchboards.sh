#!/usr/bin/env bash
# WatchBoards with 16 boards published by the stand-in service: resident
# memory, instructions per one-second round (counted by callgrind, the
# round alone) in lines and on a 120x50 screen, and the instructions of a
# whole short run beside a monitor's.  Runs the stand-in service: hold
# /tmp/prp-suite.lock while it runs on a shared machine.
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
trap '[ -n "$service" ] && kill $service 2>/dev/null; rm -rf "$work"' EXIT
boards=$(seq -s ' ' 0 15)
# shellcheck disable=SC2086
"$bin/RiDuvOzi.exe" $boards >/dev/null </dev/null &
service=$!
sleep 1.5
rounds=6

# On a terminal of 120x50, made by script(1).
# Its standard input stays open: script ends the session at the end of input.
on_screen() { sleep 30 | script -qec "stty rows 50 cols 120; $*" /dev/null >/dev/null; }

printf '%-48s %12s\n' "WatchBoards, 16 boards" "peak KiB"
printf '%-48s %12s\n' "lines, $rounds rounds" \
    "$(/usr/bin/time -f %M "$bin/WatchBoards" -n $rounds $boards 2>&1 >/dev/null | tail -1)"
on_screen "/usr/bin/time -f %M -o $work/peak $bin/WatchBoards -n $rounds $boards"
printf '%-48s %12s\n' "screen 120x50, $rounds rounds" "$(tail -1 "$work/peak")"

per_round() { # FUNCTION OUTPUT_FILE: instructions in FUNCTION, per call
    local total calls
    total=$(callgrind_annotate "$2" 2>/dev/null | sed -n 's/^\([0-9,]*\) .*PROGRAM TOTALS.*/\1/p' | tr -d ,)
    calls=$rounds
    echo $((total / calls))
}
printf '\n%-48s %12s\n' "instructions per round" "instructions"
valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*ShowLinesRound*' \
    --callgrind-out-file="$work/lines" "$bin/WatchBoards" -n $rounds $boards >/dev/null 2>&1
printf '%-48s %12s\n' "lines" "$(per_round ShowLinesRound "$work/lines")"
on_screen "valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*ShowScreenRound*' \
    --callgrind-out-file=$work/screen $bin/WatchBoards -n $rounds $boards"
printf '%-48s %12s\n' "screen 120x50 (the first draws it all)" "$(per_round ShowScreenRound "$work/screen")"

count() { # INPUT PROGRAM [ARG...]: a whole run, loader included
    local input=$1; shift
    printf '%s' "$input" | valgrind --tool=callgrind --callgrind-out-file="$work/out" "$@" \
        2>&1 >/dev/null | sed -n 's/.*Collected : //p'
}
printf '\n%-48s %12s\n' "whole run" "instructions"
printf '%-48s %12s\n' "WatchTxOctets, no block" "$(count 987654 "$bin/WatchTxOctets")"
printf '%-48s %12s\n' "WatchBoards -n 1, one board, no block" "$(count '' "$bin/WatchBoards" -n 1 987654)"
printf '%-48s %12s\n' "WatchBoards -n 1, 16 boards" "$(count '' "$bin/WatchBoards" -n 1 $boards)"
