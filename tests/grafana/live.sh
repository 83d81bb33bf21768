#!/usr/bin/env bash
# Every query of DASHBOARD (each panel's, and the machine and board
# variables') through the HTTP API of the Prometheus at URL, as Grafana
# runs it with All machines and All boards chosen: each must return data.
# A query that returns none, or an error, is named.  Queries that read a
# METRIC given with --without are not run, and are named as left out (for a
# metric the exporter does not write yet).
# Usage: live.sh URL DASHBOARD [--without METRIC]...
set -u
url=${1%/} dashboard=$2
shift 2
without=()
while [ $# -gt 0 ]; do
    case $1 in
    --without) without+=("$2"); shift 2 ;;
    *) echo "usage: live.sh URL DASHBOARD [--without METRIC]..." >&2; exit 2 ;;
    esac
done
here=$(dirname "$0")

queries=$(jq -c --argjson values '{"instance": ".*", "board": ".*"}' -f "$here/queries.jq" "$dashboard") || {
    echo "FAILED: no queries read from $dashboard"
    exit 1
}
answered=0 failed=0 left_out=()
while read -r query; do
    key=$(jq -r .key <<<"$query")
    expr=$(jq -r .expr <<<"$query")
    for metric in "${without[@]}"; do
        if grep -qw -- "$metric" <<<"$expr"; then
            left_out+=("$key")
            continue 2
        fi
    done
    answer=$(curl -s --noproxy "*" --max-time 10 -G --data-urlencode "query=$expr" "$url/api/v1/query")
    why=$(jq -r 'if .status != "success" then "an error: \(.error // "no answer")"
        elif (.data.result | length) == 0 then "no data" else empty end' <<<"$answer" 2>/dev/null) ||
        why="no answer from $url"
    if [ -n "$why" ]; then
        echo "FAILED: $key: $why"
        failed=$((failed + 1))
    else
        answered=$((answered + 1))
    fi
done < <(jq -c . <<<"$queries")

[ ${#left_out[@]} -eq 0 ] || printf 'left out (reading %s): %s\n' "${without[*]}" "$(printf '%s, ' "${left_out[@]}" | sed 's/, $//')"
echo "live: $answered queries answered with data, $failed failed, ${#left_out[@]} left out"
[ $failed -eq 0 ] && [ $answered -gt 0 ]
