#!/usr/bin/env bash
# Every query of the dashboard on series written by hand, through promtool:
# TABLE (queries.yml) is a promtool test file whose expressions are named,
# "query: KEY", by the panel's title and the query's refId
# ("Links down/A") or by a variable ("$board").  Each is replaced by that
# query of DASHBOARD, its variables as a user choosing the machine
# host1:9100 and the boards 1, 3, 4, 6 and 7 has Grafana write them.  A
# query of the dashboard that TABLE does not name fails, as does a KEY
# that names no query: no query goes untried.
# Usage: queries.sh DASHBOARD TABLE
set -u
dashboard=$1 table=$2
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

values='{"instance": "host1:9100", "board": "(1|3|4|6|7)"}'
jq -r --argjson values "$values" -f "$here/queries.jq" "$dashboard" |
    jq -r '"\(.key)\t\("round(\n\(.expr)\n, 0.001)" | tojson)"' >"$work/queries" || {
    echo "FAILED: no queries read from $dashboard"
    exit 1
}

# Each "- query: KEY" line made "- expr: QUERY", QUERY written as JSON
# writes a string, which YAML reads as a double-quoted one.  Each query is
# rounded to thousandths, so that the values are written as they are read,
# not as the last bit of a floating-point division has them (8000, not
# 8000.000000000001): round() takes the metric's name away, and nothing
# else.
awk -F '\t' -v queries="$work/queries" -v named="$work/named" '
    BEGIN {
        while ((getline line <queries) > 0) {
            split(line, field, "\t")
            if (field[1] in expr) { print "FAILED: two queries are " field[1]; failed = 1 }
            expr[field[1]] = field[2]
        }
    }
    /^ *- query: / {
        key = $0
        sub(/^ *- query: */, "", key)
        sub(/ +#.*$/, "", key)
        indent = $0
        sub(/-.*$/, "", indent)
        if (!(key in expr)) { print "FAILED: no query of the dashboard is " key; failed = 1; next }
        print key >named
        print indent "- expr: " expr[key] >"/dev/stderr"
        next
    }
    { print >"/dev/stderr" }
    END { exit failed }
' "$table" 2>"$work/dashboard.test.yml" || exit 1

missing=$(cut -f 1 "$work/queries" | sort -u | comm -23 - <(sort -u "$work/named"))
if [ -n "$missing" ]; then
    echo "FAILED: queries of the dashboard with no expected values in $table:"
    echo "$missing"
    exit 1
fi

if ! out=$(promtool test rules "$work/dashboard.test.yml" 2>&1); then
    echo "$out"
    echo "FAILED: the dashboard's queries read other values"
    exit 1
fi
echo "queries: $(cut -f 1 "$work/queries" | sort -u | wc -l) queries of the dashboard read as $table expects"
