#!/usr/bin/env bash
# The dashboard as Grafana 9 and later take it, and as it must stay: a
# schema of 36 or later; a data source variable for Prometheus, which every
# panel, query and query variable uses; the machine and board variables
# taking several values and All; panel ids unique, and queries named once
# (a panel's title and refId); every panel with a unit and a query; every
# panel but the fleet's figures naming its boards (joined with
# prp_hsr_board_info) in its legends; every variable a query uses defined,
# none of Grafana's own ($__rate_interval, $__interval...), and every range
# written out, of 5 minutes or more, so that each query holds at any scrape
# interval up to 75 s.  Each fault is named, one a line.
# Usage: structure.sh DASHBOARD
set -u
dashboard=$1
here=$(dirname "$0")

queries=$(jq -c --argjson values '{}' -f "$here/queries.jq" "$dashboard" | jq -s -c .) || {
    echo "FAILED: $dashboard is not a dashboard jq can read"
    exit 1
}
faults=$(jq -r --argjson queries "$queries" '
    def panels: .panels[] | ., (.panels[]?) | select(.type != "row");
    def source: {type: "prometheus", uid: "${datasource}"};
    # A duration in seconds, or null if it is not one ("5m", "1h30m").
    def seconds:
      if test("^([0-9]+(ms|s|m|h|d|w|y))+$") then
        [scan("([0-9]+)(ms|s|m|h|d|w|y)") | (.[0] | tonumber) *
          {ms: 0.001, s: 1, m: 60, h: 3600, d: 86400, w: 604800, y: 31536000}[.[1]]] | add
      else null end;
    (.templating.list // [] | map(.name)) as $defined
    | (if (.schemaVersion // 0) < 36 then "schemaVersion \(.schemaVersion) is below 36" else empty end),
      ([.templating.list[]? | select(.name == "datasource" and .type == "datasource" and .query == "prometheus")]
        | if length == 1 then empty else "no data source variable \"datasource\" for Prometheus" end),
      (.templating.list[]? | select(.type == "query" and .datasource != source)
        | "variable \(.name) does not use the data source variable"),
      (["instance", "board"][] as $name
        | [$defined[] | select(. == $name)] | if length == 1 then empty else "no variable \($name)" end),
      (.templating.list[]? | select(.name == "instance" or .name == "board")
        | select(.multi != true or .includeAll != true) | "variable \(.name) does not take several values and All"),
      ([panels | .id] | group_by(.)[] | select(length > 1) | "panel id \(.[0]) is used \(length) times"),
      (panels | select((.id | type) != "number") | "panel \(.title) has no id"),
      ([$queries[].key] | group_by(.)[] | select(length > 1) | "query \(.[0]) is named \(length) times"),
      (panels | select(((.fieldConfig.defaults.unit // "") | length) == 0) | "panel \(.title) has no unit"),
      (panels | select([.targets[]? | select(((.expr // "") | length) > 0)] | length == 0)
        | "panel \(.title) has no query"),
      (panels | select(.datasource != source) | "panel \(.title) does not use the data source variable"),
      (panels | .title as $title | .targets[]? | select(.datasource != source)
        | "query \($title)/\(.refId) does not use the data source variable"),
      (panels | select(.type != "stat") | .title as $title | .targets[]?
        | select(.expr | test("group_left *\\(name\\)[^#]*prp_hsr_board_info") | not)
        | "query \($title)/\(.refId) does not join prp_hsr_board_info for the boards'"'"' names"),
      (panels | select(.type != "stat") | .title as $title | .targets[]?
        | select(.legendFormat // "" | test("\\{\\{ *name *\\}\\}") | not)
        | "query \($title)/\(.refId) has no {{name}} in its legend"),
      ($queries[] | .key as $key | .expr
        | ([scan("\\$(?:\\{)?(__[A-Za-z0-9_]*)")[0]] | unique[] | "query \($key) uses Grafana'"'"'s $\(.)"),
          ([scan("\\$(?:\\{)?([A-Za-z_][A-Za-z0-9_]*)")[0] | select(startswith("__") | not)] | unique[]
            | select(. as $name | $defined | index($name) | not) | "query \($key) uses $\(.), which is not defined"),
          # The ranges, outside quoted strings: "[5m]", or "[1h:1m]" for a subquery.
          (gsub("\"(\\\\.|[^\"\\\\])*\""; "\"\"") | [scan("\\[([^\\]]*)\\]")[0]] | .[]
            | (split(":")[0] | gsub(" "; "") | seconds) as $seconds
            | if $seconds == null then "query \($key) has a range [\(.)] that is not written out"
              elif $seconds < 300 then "query \($key) has a range [\(.)] under 5 minutes"
              else empty end))
' "$dashboard")
if [ -n "$faults" ]; then
    echo "FAILED: $dashboard:"
    echo "$faults"
    exit 1
fi
echo "structure: $(jq length <<<"$queries") queries in $dashboard, as they must be"
