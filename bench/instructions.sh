#!/usr/bin/env bash
# Instructions per whole run of each program, loader included, counted by
# callgrind (the same count on every run of the same binary and input),
# beside a C program that prompts and reads one number with scanf.
# Usage: bench/instructions.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin=$build/bin
command -v valgrind >/dev/null || { echo "needs valgrind (apt-get install -y valgrind)" >&2; exit 1; }
export QVGPIO_SIM_DIR=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$QVGPIO_SIM_DIR" "$work"' EXIT

count() { # INPUT PROGRAM [ARG...]
    local input=$1; shift
    printf '%s' "$input" | valgrind --tool=callgrind --callgrind-out-file="$work/out" "$@" \
        2>&1 >/dev/null | sed -n 's/.*Collected : //p'
}

printf '#include <stdio.h>\nint main(void){int x=0;printf("Enter the boardIndex:\\n");fflush(stdout);scanf("%%d",&x);printf("%%d\\n",x);return 0;}\n' >"$work/c.c"
cc -O2 "$work/c.c" -o "$work/c_prompt"

printf '%-40s %12s\n' "run" "instructions"
printf '%-40s %12s\n' "C program: prompt, scanf, printf" "$(count '1' "$work/c_prompt")"
printf '%-40s %12s\n' "SelectHsrMode 2" "$(count '' "$bin/SelectHsrMode" 2)"
printf '%-40s %12s\n' "SelectPrpMode, 1 typed" "$(count '1' "$bin/SelectPrpMode")"
printf '%-40s %12s\n' "ShowRxCounter 1 2 1" "$(count '1 2 1' "$bin/ShowRxCounter")"
printf '%-40s %12s\n' "ShowRxCounter 1 2 9 (no read)" "$(count '1 2 9' "$bin/ShowRxCounter")"
printf '%-40s %12s\n' "ShowTxCounter 1 2" "$(count '1 2' "$bin/ShowTxCounter")"
printf '%-40s %12s\n' "ShowLinkStatus 1" "$(count '1' "$bin/ShowLinkStatus")"
printf '%-40s %12s\n' "WatchTxOctets, no block" "$(count '987654' "$bin/WatchTxOctets")"
echo "(board tools include the board simulator's own work in libqvgpio)"

# Peak memory of a board tool reading a short answer and answers a million
# characters long: the same, since the reader keeps no more than the number.
if [ -x /usr/bin/time ]; then
    printf '\n%-40s %12s\n' "SelectPrpMode reads" "peak KiB"
    peak() { printf '%s' "$1" | /usr/bin/time -f %M "$bin/SelectPrpMode" 2>&1 >/dev/null | tail -1; }
    printf '%-40s %12s\n' "1" "$(peak 1)"
    printf '%-40s %12s\n' "a million digits" "$(peak "$(head -c 1000000 /dev/zero | tr '\0' 7)")"
    printf '%-40s %12s\n' "a million blanks, then 1" "$(peak "$(head -c 1000000 /dev/zero | tr '\0' ' ')1")"
fi
