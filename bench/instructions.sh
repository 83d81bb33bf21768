#!/usr/bin/env bash
# Instructions per whole run of each program, loader included, counted by
# callgrind (the same count on every run of the same binary, input and
# machine), beside the same programs written in C and built with the same
# flags, and a monitor's instructions per one-second cycle.
# The board tools' figures include the board simulator's own work in
# libqvgpio and a scan of every process, so they grow with the number of
# processes running: compare them with the C program of the same run.
# Usage: bench/instructions.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin=$build/bin
command -v valgrind >/dev/null || { echo "needs valgrind (apt-get install -y valgrind)" >&2; exit 1; }
export QVGPIO_SIM_DIR=$(mktemp -d)
work=$(mktemp -d)
block=/dev/shm/QvPrpFileMapObject987653
trap 'rm -rf "$QVGPIO_SIM_DIR" "$work" "$block"' EXIT

count() { # INPUT PROGRAM [ARG...]
    local input=$1; shift
    printf '%s' "$input" | valgrind --tool=callgrind --callgrind-out-file="$work/out" "$@" \
        2>&1 >/dev/null | sed -n 's/.*Collected : //p' || true
}

# The flags the suite is built with on Linux.
hardened=(-O2 -fstack-protector-strong -D_FORTIFY_SOURCE=2 -Wformat -Werror=format-security
          -fPIE -pie -Wl,-z,relro,-z,now)
printf '#include <stdio.h>\nint main(void){int x=0;printf("Enter the boardIndex:\\n");fflush(stdout);if(scanf("%%d",&x)!=1)x=0;printf("%%d\\n",x);return 0;}\n' >"$work/c.c"
cc "${hardened[@]}" "$work/c.c" -o "$work/c_prompt"
cc "${hardened[@]}" bench/c/ShowLinkStatus.c -o "$work/ShowLinkStatus" \
    -L"$build/lib" -lqvgpio -Wl,--enable-new-dtags,-rpath,"$PWD/$build/lib"
cc "${hardened[@]}" bench/c/WatchTxOctets.c -o "$work/WatchTxOctets"

row() { # NAME INSTRUCTIONS [REFERENCE]
    if [ -n "${3:-}" ]; then
        printf '%-40s %12s %8s\n' "$1" "$2" "$(awk -v a="$2" -v b="$3" 'BEGIN{printf "%.2f", a/b}')"
    else
        printf '%-40s %12s\n' "$1" "$2"
    fi
}

printf '%-40s %12s %8s\n' "run" "instructions" "× C"
row "C: prompt, scanf, printf" "$(count '1' "$work/c_prompt")"
c_tool=$(count '1' "$work/ShowLinkStatus")
row "C: ShowLinkStatus 1" "$c_tool"
row "SelectHsrMode 2" "$(count '' "$bin/SelectHsrMode" 2)" "$c_tool"
row "SelectPrpMode, 1 typed" "$(count '1' "$bin/SelectPrpMode")" "$c_tool"
row "ShowRxCounter 1 2 1" "$(count '1 2 1' "$bin/ShowRxCounter")" "$c_tool"
row "ShowRxCounter 1 2 9 (no read)" "$(count '1 2 9' "$bin/ShowRxCounter")" "$c_tool"
row "ShowTxCounter 1 2" "$(count '1 2' "$bin/ShowTxCounter")" "$c_tool"
row "ShowLinkStatus 1" "$(count '1' "$bin/ShowLinkStatus")" "$c_tool"
c_monitor=$(count '987654' "$work/WatchTxOctets")
row "C: WatchTxOctets, no block" "$c_monitor"
row "WatchTxOctets, no block" "$(count '987654' "$bin/WatchTxOctets")" "$c_monitor"

# A monitor's cycle: the difference between a short and a longer watch,
# over the difference in groups printed.
cycle() { # PROGRAM
    local seconds instructions groups
    for seconds in 3 6; do
        printf '987653' | timeout -s INT $seconds valgrind --tool=callgrind \
            --callgrind-out-file="$work/out" "$1" >"$work/watch" 2>/dev/null || true
        instructions+=" $(callgrind_annotate "$work/out" 2>/dev/null | sed -n 's/ *\([0-9,]*\) .*PROGRAM TOTALS.*/\1/p' | tr -d ,)"
        groups+=" $(grep -c 'txOctetsB' "$work/watch")"
    done
    awk -v i="$instructions" -v g="$groups" 'BEGIN{split(i,a," ");split(g,b," ");printf "%d", (a[2]-a[1])/(b[2]-b[1])}'
}
truncate -s 336 "$block"
c_cycle=$(cycle "$work/WatchTxOctets")
row "C: WatchTxOctets, one cycle" "$c_cycle"
row "WatchTxOctets, one cycle" "$(cycle "$bin/WatchTxOctets")" "$c_cycle"

# Peak memory of a board tool reading a short answer and answers a million
# characters long: the same, since the reader keeps no more than the number.
if [ -x /usr/bin/time ]; then
    printf '\n%-40s %12s\n' "SelectPrpMode reads" "peak KiB"
    peak() { printf '%s' "$1" | /usr/bin/time -f %M "$bin/SelectPrpMode" 2>&1 >/dev/null | tail -1; }
    printf '%-40s %12s\n' "1" "$(peak 1)"
    printf '%-40s %12s\n' "a million digits" "$(peak "$(head -c 1000000 /dev/zero | tr '\0' 7)")"
    printf '%-40s %12s\n' "a million blanks, then 1" "$(peak "$(head -c 1000000 /dev/zero | tr '\0' ' ')1")"
fi
