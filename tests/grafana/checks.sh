#!/usr/bin/env bash
# The dashboard's checks catch what they are for: each row spoils DASHBOARD
# with a jq filter and runs structure.sh or queries.sh (with TABLE) on it,
# which must fail with the line the row names, or, where the row names
# none, pass.
# Usage: checks.sh DASHBOARD TABLE
set -u
dashboard=$1 table=$2
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

# check SCRIPT FILTER LINE: SCRIPT on DASHBOARD spoilt by FILTER fails,
# saying LINE (or, with LINE empty, passes).
check() {
    local script=$1 filter=$2 line=$3 out status
    jq "$filter" "$dashboard" >"$work/dashboard.json" || { echo "FAILED: jq '$filter'"; failed=$((failed + 1)); return; }
    case $script in
    structure) out=$("$here/structure.sh" "$work/dashboard.json" 2>&1) ;;
    queries) out=$("$here/queries.sh" "$work/dashboard.json" "$table" 2>&1) ;;
    esac
    status=$?
    if if [ -z "$line" ]; then [ $status -eq 0 ]; else [ $status -ne 0 ] && grep -Fxq -- "$line" <<<"$out"; fi; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s with %s: status %s, wanted %s\n%s\n' "$script.sh" "$filter" $status \
            "$([ -n "$line" ] && echo "1 and \"$line\"" || echo 0)" "$out"
    fi
}

# The dashboard itself.
check structure . ''
check queries . ''

# Its frame, its variables and its panels.
check structure '.schemaVersion = 27' 'schemaVersion 27 is below 36'
check structure 'del(.templating.list[0])' 'no data source variable "datasource" for Prometheus'
check structure '.templating.list[0].query = "loki"' 'no data source variable "datasource" for Prometheus'
check structure '.templating.list[1].datasource.uid = "P1809F7CD0C75ACF3"' \
    'variable instance does not use the data source variable'
check structure '.templating.list[2].multi = false' 'variable board does not take several values and All'
check structure '.templating.list[1].includeAll = false' 'variable instance does not take several values and All'
check structure 'del(.templating.list[2])' 'no variable board'
check structure '.panels[3].id = 1' 'panel id 1 is used 2 times'
check structure 'del(.panels[4].id)' 'panel Board state has no id'
check structure '.panels[6].title = "Received on LanA"' 'query Received on LanA/A is named 2 times'
check structure 'del(.panels[2].fieldConfig.defaults.unit)' 'panel Links down has no unit'
check structure '.panels[5].targets = []' 'panel Received on LanA has no query'
check structure '.panels[5].targets[0].expr = ""' 'panel Received on LanA has no query'
check structure '.panels[6].datasource = {type: "prometheus", uid: "P1809F7CD0C75ACF3"}' \
    'panel Received on LanB does not use the data source variable'
check structure 'del(.panels[6].targets[0].datasource)' 'query Received on LanB/A does not use the data source variable'
check structure '.panels[12].targets[0].expr = "floor(increase(prp_hsr_link_losses_total[15m]))"' \
    "query Link losses in 15 minutes/A does not join prp_hsr_board_info for the boards' names"
check structure '.panels[12].targets[0].legendFormat = "board {{board}} Lan{{lan}}"' \
    'query Link losses in 15 minutes/A has no {{name}} in its legend'

# Its queries: variables, and ranges that hold at a scrape of 75 s.
check structure '.panels[0].targets[0].expr |= sub("instance=~"; "site=~\"$site\",instance=~")' \
    'query Boards/A uses $site, which is not defined'
check structure '.templating.list[2].query |= sub("instance=~\"\\$instance\""; "instance=~\"${host:regex}\"")' \
    'query $board uses $host, which is not defined'
check structure '.panels[7].targets[0].expr |= sub("\\[5m\\]"; "[$__rate_interval]")' \
    "query Sent on LanA/A uses Grafana's \$__rate_interval"
check structure '.panels[7].targets[0].expr |= sub("\\[5m\\]"; "[${__interval}]")' \
    'query Sent on LanA/A has a range [${__interval}] that is not written out'
check structure '.panels[8].targets[0].expr |= sub("\\[5m\\]"; "[1m]")' 'query Sent on LanB/A has a range [1m] under 5 minutes'
check structure '.panels[9].targets[0].expr |= sub("\\[5m\\]"; "[4m59s]")' \
    'query Receive divergence/A has a range [4m59s] under 5 minutes'
check structure '.panels[13].targets[0].expr |= sub("\\[5m\\]"; "[1h:1m]")' ''
check structure '.panels[14].targets[0].expr |= sub("\\[10m\\]"; "[2m:1m]")' \
    'query Counter resets in 10 minutes/A has a range [2m:1m] under 5 minutes'
# A bracket in a quoted regular expression is no range.
check structure '.panels[0].targets[0].expr |= sub("state!="; "board=~\"[0-9]+\",state!=")' ''

# Every query tried: one the table does not name, a row that names none, a
# query that reads otherwise (a board or a machine not kept to, the traffic
# a divergence needs, a link down, the unnamed board's name).
check queries '.panels += [.panels[2] | .id = 99 | .title = "Links up"]' 'Links up/A'
check queries '.templating.list += [.templating.list[1] | .name = "job"]' '$job'
check queries 'del(.panels[2])' 'FAILED: no query of the dashboard is Links down/A'
reads_otherwise="FAILED: the dashboard's queries read other values"
check queries '.panels[2].targets[0].expr |= sub(",board=~\"\\$board\""; "")' "$reads_otherwise"
check queries '.panels[12].targets[0].expr |= sub("instance=~\"\\$instance\","; "")' "$reads_otherwise"
check queries '.panels[9].targets[0].expr |= sub("> 1000"; "> 900")' "$reads_otherwise"
check queries '.panels[10].targets[0].expr |= sub("unless ignoring"; "and ignoring")' "$reads_otherwise"
check queries '.panels[3].targets[0].expr |= gsub("board \\$1"; "$1")' "$reads_otherwise"
check queries '.templating.list[2].query |= sub("board \\$1"; "$1")' "$reads_otherwise"

echo "checks: $passed passed, $failed failed"
[ $failed -eq 0 ]
