#!/usr/bin/env bash
# prp-hsr-agentx under Debian's snmpd, as a user runs them by hand: snmpd in
# the foreground with a configuration of its own (AgentX master on a socket
# in a temporary folder, communities for 127.0.0.1 alone) on a free
# loopback port, the stand-in service publishing boards 424301 to 424304
# (424304 by a service of its own, stopped and started again), their
# errors held where the test says, and WatchBoards counting them too.  Through snmpget, snmpwalk and snmpset:
# the walk of both tables, exact; the same in SNMPv1; a LAN down read as
# down(2) within 2 s of its publication; the error counters as the boards
# library counts them across a wrap, a reset and a rate, WatchBoards'
# totals; a board gone and
# back; a set refused; the agent registering within 2 s of snmpd's start
# whichever starts first (its socket's descriptor past 1024), and of
# snmpd's restart, never ending meanwhile;
# its lines with journald's priorities; its end on SIGTERM with status 0.
# Exit 77 (skipped) where snmpd or Net-SNMP's tools are missing.
# Usage: snmpd.sh BIN_DIR
set -u
bin=$(realpath "$1")
for tool in snmpd snmpget snmpgetnext snmpwalk snmpset; do
    command -v $tool >/dev/null || PATH=$PATH:/usr/sbin command -v $tool >/dev/null || {
        echo "SKIP: $tool is missing (apt-get install snmpd snmp)"
        exit 77
    }
done
PATH=$PATH:/usr/sbin
work=$(mktemp -d)
service= single= snmpd= agent= watchboards=
stop() { # PID...: ends each and waits for it
    for pid in "$@"; do [ -z "$pid" ] || kill "$pid" 2>/dev/null; done
    for pid in "$@"; do [ -z "$pid" ] || wait "$pid" 2>/dev/null; done
}
finish() {
    exec 3>&- 2>/dev/null
    stop "$agent" "$snmpd" "$watchboards" "$single" "$service"
    rm -rf "$work"
}
trap finish EXIT
trap '' PIPE # a setting for a service that has ended fails; it ends nothing here

passed=0
fail() {
    echo "FAILED: $*"
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- ${log##*/}, last lines:"; tail -8 "$log"; }
    done
    echo "agentx snmpd: $passed passed, 1 failed"
    exit 1
}
pass() { passed=$((passed + 1)); }

# Milliseconds on the monotonic clock that bash's SECONDS follows too.
now_ms() { local t; read -r t _ </proc/uptime; echo $((${t/./} * 10)); }
# await SECONDS COMMAND...: tries COMMAND every tenth of a second until it
# succeeds (0), or until SECONDS have passed (1).  Sets waited_ms.
await() {
    local start until
    start=$(now_ms)
    until=$((start + $1 * 1000))
    shift
    until "$@"; do
        [ "$(now_ms)" -lt $until ] || { waited_ms=$(($(now_ms) - start)); return 1; }
        sleep 0.1
    done
    waited_ms=$(($(now_ms) - start))
}

# --- The stand-in services: errors held, so that every count is known.
# Board 424303's LanA errors start just below 2^32, to wrap.
mkfifo "$work/settings"
"$bin/RiDuvOzi.exe" 424301 424302 424303 424301:rxErrA=0 424301:rxErrB=0 424302:rxErrA=0 \
    424302:rxErrB=0 424303:rxErrA=4294967290 424303:rxErrB=7 424302:linkStatusB=0 \
    >"$work/service.log" 2>&1 <"$work/settings" &
service=$!
exec 3>"$work/settings"
start_single() {
    "$bin/RiDuvOzi.exe" 424304 424304:rxErrA=0 424304:rxErrB=0 >"$work/single.log" 2>&1 </dev/null 3>&- &
    single=$!
}
start_single
said() { grep -q "$2" "$work/$1.log"; }
await 10 said service "424302: linkStatusB held at 0" && await 10 said single "424304: rxErrB held" ||
    fail "the stand-in services did not publish boards 424301 to 424304"
"$bin/WatchBoards" -j 424303 >"$work/watchboards.json" 2>"$work/watchboards.log" </dev/null 3>&- &
watchboards=$!

# --- snmpd on a free loopback port, and its queries
cat >"$work/snmpd.conf" <<EOF
master agentx
agentXSocket $work/agentx
rocommunity public 127.0.0.1
rwcommunity private 127.0.0.1
EOF
export SNMP_PERSISTENT_DIR=$work/persistent SNMPCONFPATH=$work/none MIBS=
free_udp_port() {
    local taken port
    taken=" $(awk 'FNR > 1 { split($2, a, ":"); print a[2] }' /proc/net/udp /proc/net/udp6 2>/dev/null |
        while read -r hex; do echo $((16#$hex)); done | tr '\n' ' ') "
    while :; do
        port=$((20000 + RANDOM % 40000))
        [[ $taken == *" $port "* ]] || break
    done
    echo $port
}
port=$(free_udp_port)
query() { # TOOL VERSION COMMUNITY ARG...
    local tool=$1 version=$2 community=$3
    shift 3
    $tool -v"$version" -On -m '' -r 1 -t 1 -c "$community" "127.0.0.1:$port" "$@" 2>&1
}
get() { query snmpget 2c public "$@"; }
# snmpd answering for itself (its sysUpTime).
snmpd_answers() { get .1.3.6.1.2.1.1.3.0 | grep -q Timeticks; }
start_snmpd() {
    for _ in 1 2 3; do
        snmpd -f -Lo -C -c "$work/snmpd.conf" -m '' "udp:127.0.0.1:$port" >"$work/snmpd.log" 2>&1 </dev/null 3>&- &
        snmpd=$!
        await 10 snmpd_answers && return 0
        stop "$snmpd"
        snmpd=
        grep -q "Error opening specified endpoint" "$work/snmpd.log" || break
        port=$(free_udp_port) # taken meanwhile
    done
    fail "snmpd did not answer on udp:127.0.0.1:$port within 10 s"
}

count=.1.0.62439.2.21.0.0.2.0
config=.1.0.62439.2.21.0.1.0.1.1 stats=.1.0.62439.2.21.1.1.0.1.1
registered() { get $count | grep -q "INTEGER: "; }
# The agent, its standard error the journal's stream as systemd would have
# it, the boards named out of order.
start_agent() {
    JOURNAL_STREAM=$(stat -c %d:%i "$work/agent.log") "$bin/prp-hsr-agentx" -x "$work/agentx" \
        424303 424301 424304 424302 2>>"$work/agent.log" </dev/null 3>&- &
    agent=$!
}
: >"$work/agent.log"

# --- The agent first, then snmpd: registered within 2 s of snmpd's start.
start_agent
said_agent() { grep -q "$1" "$work/agent.log"; }
await 10 said_agent "no master agent" || fail "the agent did not say that no master is there yet"
start_snmpd
await 2 registered || fail "the agent did not register within 2 s of snmpd's start"
echo "registered ${waited_ms} ms after snmpd answered, the agent started first"
pass

# --- Both tables, exact: 424302's LanB is down, 424303's LanA errors went
# from 4294967290 to nothing yet.
rows() { [ "$(get $count)" = "$count = INTEGER: $1" ]; }
await 5 rows 4 || fail "lreInterfaceCount: $(get $count), wanted 4"
walk_want="$count = INTEGER: 4"
for column in 2 4 9 10; do
    for board in 424301 424302 424303 424304; do
        case $column in
        2) value="INTEGER: 1" ;;
        4) value="STRING: \"board $board\"" ;;
        9) value="INTEGER: 1" ;;
        10) value="INTEGER: $([ $board = 424302 ] && echo 2 || echo 1)" ;;
        esac
        walk_want+=$'\n'"$config.$column.$((board + 1)) = $value"
    done
done
for column in 11 12; do
    for board in 424301 424302 424303 424304; do
        walk_want+=$'\n'"$stats.$column.$((board + 1)) = Counter32: 0"
    done
done
walk=$(query snmpwalk 2c public .1.0.62439)
[ "$walk" = "$walk_want" ] || fail $'snmpwalk -v2c of .1.0.62439:\n'"$walk"$'\nwanted:\n'"$walk_want"
pass
# SNMPv1 reads the same (Counter32 is v1's Counter), and says noSuchName
# where v2c says noSuchInstance.
walk=$(query snmpwalk 1 public .1.0.62439)
[ "$walk" = "$walk_want" ] || fail $'snmpwalk -v1 of .1.0.62439:\n'"$walk"
got=$(query snmpget 1 public $config.9.424300)
[[ $got == *"noSuchName"* ]] || fail "snmpget -v1 of a board not served: $got"
got=$(get $config.9.424300 $config.3.424302 .1.0.62439.2.21.0.0.1.0)
want="$config.9.424300 = No Such Instance currently exists at this OID
$config.3.424302 = No Such Object available on this agent at this OID
.1.0.62439.2.21.0.0.1.0 = No Such Object available on this agent at this OID"
[ "$got" = "$want" ] || fail $'snmpget of a board not served, lreNodeType and lreManufacturerName:\n'"$got"
pass

# --- Every object is read-only.
for version in 2c 1; do
    got=$(query snmpset $version private $config.9.424302 i 2)
    want=$([ $version = 1 ] && echo noSuchName || echo notWritable)
    [[ $got == *"Reason: "*"$want"* ]] || fail "snmpset -v$version of lreLinkStatusA: $got"
done
[ "$(get $config.9.424302)" = "$config.9.424302 = INTEGER: 1" ] || fail "a set changed lreLinkStatusA"
pass

# --- A LAN down, read as down(2) within 2 s of the publication that
# showed it (the service writes a setting into the block as it says it).
echo "424301:linkStatusA=0" >&3
await 5 said service "424301: linkStatusA held at 0" || fail "the stand-in service took no setting"
down() { [ "$(get $config.9.424302)" = "$config.9.424302 = INTEGER: 2" ]; }
await 2 down || fail "424301's LanA down: $(get $config.9.424302) after 2 s, wanted INTEGER: 2"
echo "LanA down read ${waited_ms} ms after it was published"
pass

# --- Errors as the boards library counts them, as WatchBoards (started
# before the first of them) has them too: a wrap from 4294967290 to 10 is
# 16; a reset (every counter back to 0, published on its own) adds nothing,
# then at 5 a second they grow by fives, and held at 1000 they end at
# 16 + 1000 = 1016.
errors() { [ "$(get $stats.11.424304)" = "$stats.11.424304 = Counter32: $1" ]; }
echo "424303:rxErrA=10" >&3
await 5 errors 16 || fail "424303's LanA errors after a wrap: $(get $stats.11.424304), wanted 16"
echo "424303:reset" >&3
await 5 said service "424303: counters reset" || fail "the stand-in service reset no counters"
await 2 errors 16 || fail "424303's LanA errors after a reset: $(get $stats.11.424304), wanted 16"
echo "424303:rxErrA+=5" >&3
grown() {
    local value
    value=$(get $stats.11.424304 | sed -n 's/.*Counter32: //p')
    [ -n "$value" ] && [ "$value" -ge 31 ] && [ $(((value - 16) % 5)) -eq 0 ]
}
await 10 grown || fail "424303's LanA errors at 5 a second: $(get $stats.11.424304), wanted 16 and fives"
echo "424303:rxErrA=1000" >&3
await 5 errors 1016 || fail "424303's LanA errors held at 1000: $(get $stats.11.424304), wanted 1016"
[ "$(get $stats.12.424304)" = "$stats.12.424304 = Counter32: 0" ] ||
    fail "424303's LanB errors, held at 7 then reset to 0: $(get $stats.12.424304), wanted 0"
watched() { tail -1 "$work/watchboards.json" | grep -q '"rxErrSinceStartA":1016,'; }
await 5 watched || fail "WatchBoards' LanA errors of 424303: $(tail -1 "$work/watchboards.json")"
pass

# --- A board gone (its service stopped, its block removed), and back.
stop "$single"
single=
await 10 rows 3 || fail "lreInterfaceCount with 424304 gone: $(get $count), wanted 3"
got=$(get $config.2.424305)
[ "$got" = "$config.2.424305 = No Such Instance currently exists at this OID" ] ||
    fail "424304 gone: its lreRowStatus reads $got"
next=$(query snmpgetnext 2c public $config.4.424304)
[ "$next" = "$config.9.424302 = INTEGER: 2" ] || fail "GETNEXT past 424303's lreNodeName with 424304 gone: $next"
start_single
await 10 rows 4 || fail "lreInterfaceCount with 424304 back: $(get $count), wanted 4"
[ "$(get $config.4.424305)" = "$config.4.424305 = STRING: \"board 424304\"" ] ||
    fail "424304 back: its lreNodeName reads $(get $config.4.424305)"
pass

# --- snmpd restarted: the agent, still there, registers again within 2 s.
stop "$snmpd"
snmpd=
start_snmpd
await 2 registered || fail "the agent did not register again within 2 s of snmpd's restart"
echo "registered again ${waited_ms} ms after snmpd answered"
kill -0 "$agent" 2>/dev/null || fail "the agent ended while snmpd was away"
pass

# --- SIGTERM ends it with status 0; its lines, each with its priority.
kill "$agent"
wait "$agent"
status=$?
agent=
[ $status -eq 0 ] || fail "the agent ended with status $status on SIGTERM, wanted 0"
got=$(sed "s|$work|WORK|" "$work/agent.log")
want="<5>prp-hsr-agentx: no master agent at WORK/agentx yet: connecting every second
<6>prp-hsr-agentx: registered with the master agent at WORK/agentx
<4>prp-hsr-agentx: the master agent at WORK/agentx has gone: connecting again every second
<6>prp-hsr-agentx: registered with the master agent at WORK/agentx"
[ "$got" = "$want" ] || fail $'the agent\'s lines:\n'"$got"$'\nwanted:\n'"$want"
pass

# --- snmpd first, then the agent: registered within 2 s of its start,
# with a thousand descriptors taken before it, as a thousand boards' blocks
# take them, so that the master's socket is past what select's fd_set holds.
: >"$work/agent.log"
ulimit -n 4096
taken=()
for _ in $(seq 1100); do
    exec {descriptor}</dev/null
    taken+=("$descriptor")
done
start_agent
for descriptor in "${taken[@]}"; do exec {descriptor}<&-; done
await 2 registered || fail "the agent started after snmpd did not register within 2 s"
echo "registered ${waited_ms} ms after the agent started, snmpd first"
await 5 rows 4 || fail "lreInterfaceCount after a fresh start: $(get $count), wanted 4"
walk=$(query snmpwalk 2c public .1.0.62439 | wc -l)
stop "$agent"
agent=
got=$(sed "s|$work|WORK|" "$work/agent.log")
[ "$walk" = 25 ] && [ "$got" = "<6>prp-hsr-agentx: registered with the master agent at WORK/agentx" ] ||
    fail $'the agent past 1100 descriptors walked '"$walk"$' rows of 25, and said:\n'"$got"
pass

echo "agentx snmpd: $passed passed, 0 failed"
