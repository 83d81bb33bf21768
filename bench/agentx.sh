#!/usr/bin/env bash
# prp-hsr-agentx under Debian's snmpd with 16 boards published by the
# stand-in service and nobody asking: the instructions a second of the
# whole process in steady state, registered and pinged by the master
# (at most 150,000): a second is the difference of a run of 7 s and one of
# 2 s after it registered, over 5, each counted by callgrind against a
# fresh service.  Then 1,024 boards: how long snmpbulkwalk of both tables
# takes (within 2 s), and its rows.  snmpd runs on a free loopback port with
# a configuration and a socket in a temporary folder.  Runs the stand-in
# service: it holds /tmp/prp-suite.lock while it does, as the tests do.
# Usage: bench/agentx.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin=$PWD/$build/bin
PATH=$PATH:/usr/sbin
for tool in valgrind callgrind_annotate snmpd snmpget snmpbulkwalk flock; do
    command -v $tool >/dev/null ||
        { echo "needs $tool (apt-get install -y valgrind snmpd snmp util-linux)" >&2; exit 1; }
done
exec 9>/tmp/prp-suite.lock
flock 9
work=$(mktemp -d)
service= snmpd= agent=
stop() { for pid in "$@"; do [ -z "$pid" ] || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; }; done; }
trap 'stop "$agent" "$snmpd" "$service"; rm -rf "$work"' EXIT
ulimit -n 4096 # a descriptor for each block, in the service and in the agent

export SNMP_PERSISTENT_DIR=$work/persistent SNMPCONFPATH=$work/none MIBS=
cat >"$work/snmpd.conf" <<EOF
master agentx
agentXSocket $work/agentx
rocommunity public 127.0.0.1
EOF
port=$((20000 + RANDOM % 40000))
snmpd -f -Lo -C -c "$work/snmpd.conf" -m '' "udp:127.0.0.1:$port" >"$work/snmpd.log" 2>&1 </dev/null &
snmpd=$!
get() { snmpget -v2c -On -m '' -r 0 -t 1 -c public "127.0.0.1:$port" "$@" 2>/dev/null; }
await() { # TRIES COMMAND...: every tenth of a second
    local tries=$1
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ $tries -gt 0 ] || return 1
        sleep 0.1
    done
}
up() { get .1.3.6.1.2.1.1.3.0 | grep -q Timeticks; }
await 100 up || { echo "snmpd did not answer on udp:127.0.0.1:$port" >&2; exit 1; }
count=.1.0.62439.2.21.0.0.2.0
rows() { [ "$(get $count | sed -n 's/.*INTEGER: //p')" = "$1" ]; }

start_service() { # BOARD...
    stop "$service"
    "$bin/RiDuvOzi.exe" "$@" >/dev/null </dev/null &
    service=$!
    sleep 1.5
}

# Sets counted to the instructions of a run of SECONDS after registering.
counted_run() { # SECONDS
    start_service $(seq 0 15)
    valgrind --tool=callgrind --callgrind-out-file="$work/agent.$1" \
        "$bin/prp-hsr-agentx" -x "$work/agentx" 2>/dev/null &
    agent=$!
    await 300 rows 16 || { echo "the agent under valgrind served no 16 boards" >&2; exit 1; }
    sleep "$1"
    stop "$agent"
    agent=
    counted=$(callgrind_annotate "$work/agent.$1" 2>/dev/null |
        sed -n 's/^ *\([0-9,]*\) .*PROGRAM TOTALS.*/\1/p' | tr -d ,)
}
printf '%-48s %12s %12s\n' "instructions, 16 boards (at most 150,000 a s)" "run of 2" "a second"
counted_run 2
short=$counted
counted_run 7
printf '%-48s %12s %12s\n' "registered, nobody asking" "$short" "$(((counted - short) / 5))"

# 1,024 boards, the agent as it runs.
start_service $(seq 1000 2023)
"$bin/prp-hsr-agentx" -x "$work/agentx" 2>/dev/null &
agent=$!
await 100 rows 1024 || { echo "the agent did not serve 1,024 boards" >&2; exit 1; }
start=$(date +%s%N)
snmpbulkwalk -v2c -On -m '' -c public "127.0.0.1:$port" .1.0.62439.2.21 >"$work/walk"
ms=$((($(date +%s%N) - start) / 1000000))
printf '\n%-48s %12s %12s\n' "snmpbulkwalk of both tables (within 2 s)" "rows" "ms"
printf '%-48s %12s %12s\n' "1,024 boards" "$(wc -l <"$work/walk")" "$ms"
