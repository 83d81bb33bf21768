#!/usr/bin/env bash
# The alerting rules on a real Prometheus, end to end: the stand-in service
# publishes board 424201 at 10 Gbit/s on LanA (its 32-bit counter wraps
# every 3.4 s) and 8 Gbit/s on LanB, with an error a second on LanA; board
# 424202 with LanB's link down; board 424203, whose LanB link it takes down
# three times, each until WatchBoards has seen it; no other errors.
# "WatchBoards --textfile" writes their statistics into a folder that
# Debian's node exporter (its textfile collector alone) serves, and
# Prometheus scrapes it every second and evaluates a copy of the rules whose for: durations are 0.  Through
# Prometheus's HTTP API: the file's metric families; rate() of the totals
# equals the rates set, within 3%, across more than ten wraps; exactly the
# alerts that must fire do (a link down, LanA and LanB diverging, receive
# errors, a textfile no longer written and, where WatchBoards counts link
# losses, a link flapping), and no other.  With DASHBOARD, every query of
# the Grafana dashboard returns data (tests/grafana/live.sh) once the rates
# have samples enough.  Loopback only, about 45 s; everything it starts is
# stopped.
# Usage: engine.sh BIN_DIR RULES_FILE [DASHBOARD]
set -u
bin=$(realpath "$1")
rules=$(realpath "$2")
dashboard=${3:+$(realpath "$3")}
work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
# A setting written after the stand-in service has ended fails; it does not
# end this script.
trap '' PIPE

# fail WHAT: ends the test, saying what went wrong and what the programs said.
fail() {
    echo "FAILED: $*"
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- ${log##*/}, last lines:"; tail -5 "$log"; }
    done
    echo "engine: $checked passed, 1 failed"
    exit 1
}
checked=0
pass() { checked=$((checked + 1)); }

for tool in prometheus:prometheus promtool:prometheus prometheus-node-exporter:prometheus-node-exporter \
    curl:curl jq:jq; do
    command -v "${tool%%:*}" >/dev/null || fail "${tool%%:*} is missing: apt-get install ${tool#*:}"
done
"$bin/WatchBoards" --help 2>/dev/null | grep -q -- --textfile ||
    fail "$bin/WatchBoards does not take --textfile (its --help names no such option)"

# --- The stand-in service and WatchBoards
# Further settings go to the service through a pipe, file descriptor 3.
board=424201 linkdown=424202 flapping=424203
mkfifo "$work/settings"
"$bin/RiDuvOzi.exe" $board $linkdown $flapping \
    $board:rxGoodOctetsA+=1250000000 $board:rxGoodOctetsB+=1000000000 $board:rxErrA+=1 \
    $linkdown:linkStatusB=0 \
    >"$work/service.log" 2>&1 <"$work/settings" &
pids+=($!)
exec 3>"$work/settings"
for _ in $(seq 300); do grep -q "linkStatusB held at 0" "$work/service.log" && break; sleep 0.1; done
grep -q "linkStatusB held at 0" "$work/service.log" ||
    fail "the stand-in service did not publish boards $board, $linkdown and $flapping"

# The service publishes at whole seconds from its start, a few milliseconds
# late at times; WatchBoards, started half a second later, samples between
# them.  (At the LAN's full speed, two publications in one sample would be
# more than the LAN carries: a reset.)
sleep 0.5
textfiles=$work/textfiles
mkdir "$textfiles"
file=$textfiles/prp-hsr.prom
# One board known by its name, which the dashboard shows.
printf '# names\n%s Bay 1 "feeder"\n' $board >"$work/names"
"$bin/WatchBoards" --textfile "$file" -s 10G --names "$work/names" $board $linkdown $flapping >"$work/watchboards-lines" 2>"$work/watchboards.log" </dev/null 3>&- &
watchboards=$!
pids+=($watchboards)
for _ in $(seq 300); do [ -s "$file" ] && break; sleep 0.1; done
[ -s "$file" ] || fail "WatchBoards wrote no $file within 30 s"

# The file as the textfile collector takes it: clean under promtool's lint,
# with exactly these families.
lint=$(promtool check metrics <"$file" 2>&1) || fail "promtool check metrics on $file: $lint"
families=$(sed -n 's/^# TYPE //p' "$file" | sort)
want='prp_hsr_board_info gauge
prp_hsr_board_state gauge
prp_hsr_boards gauge
prp_hsr_exporter_build_info gauge
prp_hsr_lan_speed_bytes gauge
prp_hsr_link_down_seconds_total counter
prp_hsr_link_losses_total counter
prp_hsr_link_status gauge
prp_hsr_receive_errors_total counter
prp_hsr_receive_good_bytes_total counter
prp_hsr_resets_total counter
prp_hsr_transmit_bytes_total counter'
[ "$families" = "$want" ] || fail $'the metric families in the file:\n'"$families"$'\nwanted:\n'"$want"
pass

# --- The node exporter and Prometheus, each on a free loopback port

# A port that nothing listens on, from /proc/net/tcp*.
free_port() {
    local listening port
    listening=" $(awk '$4 == "0A" { split($2, a, ":"); print a[2] }' /proc/net/tcp /proc/net/tcp6 2>/dev/null |
        while read -r hex; do echo $((16#$hex)); done | tr '\n' ' ') "
    while :; do
        port=$((20000 + RANDOM % 40000))
        [[ $listening == *" $port "* ]] || break
    done
    echo $port
}
# serve NAME PATH COMMAND...: COMMAND, with @PORT@ in its arguments made a
# free port, started until http://127.0.0.1:PORT/PATH answers; a port taken
# meanwhile by another process is tried again.  Sets $port.
serve() {
    local name=$1 path=$2 pid
    shift 2
    for _ in 1 2 3; do
        port=$(free_port)
        "${@//@PORT@/$port}" >"$work/$name.log" 2>&1 </dev/null 3>&- &
        pid=$!
        pids+=($pid)
        for _ in $(seq 100); do
            curl -sf --noproxy "*" -o /dev/null "http://127.0.0.1:$port$path" && return 0
            kill -0 $pid 2>/dev/null || break
            sleep 0.1
        done
        kill $pid 2>/dev/null
        grep -q "address already in use" "$work/$name.log" || break
    done
    fail "$name did not answer on http://127.0.0.1:$port$path within 10 s"
}

serve node-exporter /metrics prometheus-node-exporter --collector.disable-defaults --collector.textfile \
    --collector.textfile.directory="$textfiles" --web.listen-address=127.0.0.1:@PORT@
exporter=127.0.0.1:$port
metrics=$(curl -sf --noproxy "*" "http://$exporter/metrics")
grep -qx 'node_textfile_scrape_error 0' <<<"$metrics" ||
    fail "the node exporter could not read $file: $(grep '^node_textfile' <<<"$metrics")"
grep -q "^prp_hsr_link_status{board=\"$linkdown\",lan=\"B\"} 0$" <<<"$metrics" ||
    fail "the node exporter does not serve board $linkdown's LanB link status as 0"
pass

# The rules as shipped, but firing at once; a file not written for 10 s,
# not 30, is stale.
sed -E -e 's/^( +for:).*/\1 0s/' -e 's/^( +\) > )30$/\110/' "$rules" >"$work/rules.yml"
grep -q '^ *) > 10$' "$work/rules.yml" || fail "no textfile age of 30 s to shorten in $rules"
cat >"$work/prometheus.yml" <<EOF
global:
  scrape_interval: 1s
  scrape_timeout: 1s
  evaluation_interval: 1s
rule_files:
  - $work/rules.yml
scrape_configs:
  - job_name: node
    static_configs:
      - targets: ['$exporter']
EOF
serve prometheus /-/ready prometheus --config.file="$work/prometheus.yml" \
    --storage.tsdb.path="$work/data" --web.listen-address=127.0.0.1:@PORT@
api=http://127.0.0.1:$port/api/v1

# query EXPR: the values of EXPR now, one a line, in the order of their labels.
query() {
    curl -sf --noproxy "*" -G --data-urlencode "query=$1" "$api/query" |
        jq -r '.data.result | sort_by(.metric | tostring) | .[].value[1]'
}
# firing: the alerts firing now, as "name board lan" lines, sorted.
firing() {
    curl -sf --noproxy "*" "$api/alerts" | jq -r '.data.alerts[] | select(.state == "firing") |
        "\(.labels.alertname) \(.labels.board // "-") \(.labels.lan // "-")"' | sort
}
# await SECONDS COMMAND...: tries COMMAND every half second until it succeeds.
await() {
    local until=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $until ] || return 1
        sleep 0.5
    done
}

scraped() { [ "$(query "count(prp_hsr_receive_good_bytes_total{board=~\"$board|$flapping\"})")" = 4 ]; }
await 30 scraped || fail "Prometheus has not scraped board $board's totals within 30 s"
since=$SECONDS # the totals' first samples are at most a second older
pass

# What Prometheus holds: the link status and each board's state as
# published.
boards="$board|$linkdown|$flapping"
got=$(query "prp_hsr_link_status{board=~\"$boards\"}" | paste -sd ' ')
[ "$got" = "1 1 1 0 1 1" ] || fail "link status of $board, $linkdown and $flapping, A and B: $got, wanted 1 1 1 0 1 1"
got=$(query "prp_hsr_board_state{board=~\"$boards\"} == 1" | wc -l)
[ "$got" = 3 ] || fail "$got boards in one state, wanted all three"
got=$(query "prp_hsr_board_state{board=~\"$boards\",state=\"live\"}" | paste -sd ' ')
[ "$got" = "1 1 1" ] || fail "all three boards should be live: $got"
pass

# The alerts, while the totals gather: the link down, the divergence and
# the errors (once five are counted) within a few seconds, and no other.
want="PrpHsrLinkDown $linkdown B
PrpHsrReceiveDivergence $board -
PrpHsrReceiveErrors $board A"
expected_alerts() { [ "$(firing)" = "$want" ]; }
await 30 expected_alerts || fail $'firing alerts:\n'"$(firing)"$'\nwanted:\n'"$want"
pass

# The dashboard's queries, now that the rates have had samples enough for
# the alerts.
if [ -n "$dashboard" ]; then
    live=$("${BASH_SOURCE%/*}/../grafana/live.sh" "${api%/api/v1}" "$dashboard" 2>&1) ||
        fail $'the dashboard\'s queries on Prometheus:\n'"$live"
    echo "$live"
    # A query that finds nothing, and one Prometheus refuses, are named.
    jq '.panels[0].targets[0].expr = "prp_hsr_no_such_metric" | .panels[1].targets[0].expr = "rate(prp_hsr_boards)"' \
        "$dashboard" >"$work/spoilt.json"
    live=$("${BASH_SOURCE%/*}/../grafana/live.sh" "${api%/api/v1}" "$work/spoilt.json" 2>&1)
    status=$?
    got=$(grep '^FAILED' <<<"$live" | sed 's/: an error: .*/: an error/')
    [ $status -eq 1 ] && [ "$got" = $'FAILED: Boards/A: no data\nFAILED: Boards in trouble/A: an error' ] ||
        fail $'live.sh on a dashboard with a query that finds nothing and one refused, status '"$status"$':\n'"$live"
    pass
fi

# A file of ours that is no longer written, put there once.
echo "# Written once." >"$textfiles/prp-hsr-frozen.prom"

# Board $flapping's LanB lost three times, each down and up again once
# WatchBoards has written it so; meanwhile the totals gather.
lan_b() { grep -qx "prp_hsr_link_status{board=\"$flapping\",lan=\"B\"} $1" "$file"; }
for _ in 1 2 3; do
    echo "$flapping:linkStatusB=0" >&3 || fail "the stand-in service takes no more settings"
    await 30 lan_b 0 || fail "WatchBoards has not written board $flapping's LanB down"
    echo "$flapping:linkStatusB=1" >&3 || fail "the stand-in service takes no more settings"
    await 30 lan_b 1 || fail "WatchBoards has not written board $flapping's LanB up"
done

# rate() across 35 s, with the totals' samples all in it: more than ten
# wraps of LanA's counter.  (The service, WatchBoards and the scrapes keep
# their phases, so a total moves a whole second's octets at each scrape: a
# second too many or too few would be 2.9% off.)
[ $((since + 37 - SECONDS)) -le 0 ] || sleep $((since + 37 - SECONDS))
for check in "A 1250000000" "B 1000000000"; do
    lan=${check% *} rate=${check#* }
    got=$(query "rate(prp_hsr_receive_good_bytes_total{board=\"$board\",lan=\"$lan\"}[35s])")
    [ -n "$got" ] || fail "no rate of board $board's Lan$lan"
    awk -v got="$got" -v want="$rate" 'BEGIN { exit !(got > want * 0.97 && got < want * 1.03) }' ||
        fail "rate of board $board's Lan$lan received: $got byte/s, wanted $rate within 3%"
done
got=$(query "prp_hsr_receive_good_bytes_total{board=\"$board\",lan=\"A\"} > 10 * 2^32")
[ -n "$got" ] || fail "board $board's LanA total has not passed ten wraps of its counter"
pass

# By now the copy of the file has not been written for over 10 s, and the
# flapping link is up again, its losses counted.
frozen="PrpHsrTextfileStale - -"
want=$(sort <<EOF
PrpHsrLinkDown $linkdown B
PrpHsrReceiveDivergence $board -
PrpHsrReceiveErrors $board A
$frozen
PrpHsrLinkFlapping $flapping B
EOF
)
await 30 expected_alerts || fail $'firing alerts:\n'"$(firing)"$'\nwanted:\n'"$want"
got=$(curl -sf --noproxy "*" "$api/alerts" | jq -r '.data.alerts[] | select(.labels.alertname == "PrpHsrTextfileStale") | .labels.file')
[ "$got" = "$textfiles/prp-hsr-frozen.prom" ] || fail "the stale textfile: $got"
pass

# WatchBoards ends on SIGTERM with status 0, as on the terminal.
kill -TERM $watchboards
wait $watchboards
status=$?
[ $status -eq 0 ] || fail "WatchBoards ended with status $status on SIGTERM"
pass

echo "engine: $checked passed, 0 failed"
