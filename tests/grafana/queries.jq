# Every query of a Grafana dashboard, one {key, expr} a query: each panel's
# targets, keyed "TITLE/REFID" (panels in rows too), and each query
# variable, keyed "$NAME", as the PromQL Grafana runs for it
# (label_values(METRIC, LABEL) as count by (LABEL) (METRIC), query_result(Q)
# as Q).  $values, an object of variable names and texts, stands for what
# the user chose: each $NAME, ${NAME} or ${NAME:FORMAT} of those variables
# is replaced by its text, the others left as they are.
#   jq -c --argjson values '{"board": "(1|3)"}' -f queries.jq DASHBOARD

def substitute($values):
  reduce ($values | to_entries[]) as $variable (.;
    gsub("\\$\\{" + $variable.key + "(:[^}]*)?\\}|\\$" + $variable.key + "\\b"; $variable.value));

def promql:
  if test("^\\s*label_values\\(") then
    capture("^\\s*label_values\\((?<metric>.+),\\s*(?<label>[A-Za-z_][A-Za-z0-9_]*)\\)\\s*$")
    | "count by (\(.label)) (\(.metric))"
  elif test("^\\s*query_result\\(") then
    capture("^\\s*query_result\\((?<query>.+)\\)\\s*$"; "s").query
  else . end;

(
  .panels[] | ., (.panels[]?) | select(.type != "row") | .title as $title
  | (.targets // [])[] | {key: "\($title)/\(.refId)", expr: (.expr // "")}
),
(
  .templating.list[]? | select(.type == "query")
  | {key: "$\(.name)", expr: (.query | if type == "object" then .query else . end | promql)}
)
| .expr |= substitute($values)
