#!/usr/bin/env bash
# What `cmake --install` puts in place: the programs and never a board
# library, which would shadow the maker's; the stand-ins only on request,
# with the simulator in a folder of its own that no loader searches.
# Usage: install.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "$*"; status=1; }

cmake --install "$build" --prefix "$work/programs" >/dev/null || fail "the programs do not install"
cmake --install "$build" --prefix "$work/standins" --component standins >/dev/null ||
    fail "the stand-ins do not install"

found=$(cd "$work/programs" && find . -iname '*qvgpio*')
[ -z "$found" ] || fail "installed with the programs: $found"
found=$(cd "$work/standins" && find . -iname '*qvgpio.*' -not -path './lib/prp-hsr-standins/*')
[ -z "$found" ] || fail "a simulator library outside lib/prp-hsr-standins: $found"
found=$(find "$work/standins/lib/prp-hsr-standins" -name libqvgpio.so -o -name qvgpio.dll)
[ -n "$found" ] || fail "the simulator library is not in lib/prp-hsr-standins"

# Every program has its manual page, and the pages are clean under mandoc's
# lint: a cross-reference not found on this machine counts only when it
# names one of the pages installed here.
shopt -s nullglob
pages=("$work"/programs/share/man/man1/*.1 "$work"/standins/share/man/man1/*.1)
for program in "$work"/programs/bin/* "$work"/standins/bin/*; do
    name=$(basename "$program" .exe) prefix=${program%/bin/*}
    [ -f "$prefix/share/man/man1/$name.1" ] || [ -f "$prefix/doc/$name.html" ] ||
        fail "$name has no manual page"
done
if [ ${#pages[@]} -gt 0 ]; then # Windows has them as HTML
    names=$(basename -a -s .1 "${pages[@]}" | sed 's/\./\\./g' | paste -sd '|')
    lint=$(mandoc -T lint "${pages[@]}" 2>&1 |
        grep -vE "referenced manual not found: Xr ($names) 1( \([0-9]+ times\))?$")
    [ -z "$lint" ] || fail "$lint"
fi

# The monitoring plugin (Linux) where Debian's monitoring plugins are, with
# its page and its examples for Icinga 2 and Nagios; on Windows it is among
# the programs.
if [ ! -e "$work/programs/bin/WatchBoards.exe" ]; then
    [ -x "$work/programs/lib/nagios/plugins/check_prp_hsr" ] ||
        fail "check_prp_hsr is not in lib/nagios/plugins"
    [ -f "$work/programs/share/man/man1/check_prp_hsr.1" ] || fail "check_prp_hsr has no manual page"
    for example in check_prp_hsr.conf check_prp_hsr.cfg; do
        cmp -s "$work/programs/share/doc/prp-hsr-tools/examples/$example" \
            "${BASH_SOURCE%/*}/../packaging/monitoring-plugin/$example" ||
            fail "$example is not among the programs' examples"
    done
fi

# The exporter component (Linux), only on request: its unit names the
# WatchBoards and the options' file of the same install, /usr's options in
# /etc.  Each row: prefix, DESTDIR (- for none), where the unit and the
# options land.
if [ ! -e "$work/programs/bin/WatchBoards.exe" ]; then
    found=$(cd "$work/programs" && find . -path '*systemd*' -o -name '*exporter*')
    [ -z "$found" ] || fail "installed with the programs: $found"
    while read -r prefix destdir unit options; do
        [ "$destdir" = - ] && destdir=
        DESTDIR=$destdir cmake --install "$build" --prefix "$prefix" --component exporter >/dev/null ||
            fail "the exporter does not install into $prefix"
        want="EnvironmentFile=-$options
ExecStart=$prefix/bin/WatchBoards --textfile /run/prp-hsr-exporter/prp-hsr.prom --events \$ARGS"
        got=$(grep -E '^(EnvironmentFile|ExecStart)=' "$destdir$unit" 2>&1)
        [ "$got" = "$want" ] || fail "exporter unit under $prefix: $got"
        names=$(dirname "$(dirname "$options")")/prp-hsr/boards
        got=$(grep -v '^#' "$destdir$options" 2>&1)
        [ "$got" = "ARGS=\"-s 1G --names $names\"" ] || fail "exporter options under $prefix: $got"
        cmp -s "$destdir$names" "${BASH_SOURCE%/*}/../packaging/prometheus/boards" ||
            fail "the boards' names are not beside the exporter's options under $prefix"
        cmp -s "$destdir$prefix/share/doc/prp-hsr-exporter/examples/prp-hsr-alerts.yml" \
            "${BASH_SOURCE%/*}/../packaging/prometheus/prp-hsr-alerts.yml" ||
            fail "the alerting rules are not among the exporter's examples under $prefix"
        cmp -s "$destdir$prefix/share/doc/prp-hsr-exporter/examples/prp-hsr-dashboard.json" \
            "${BASH_SOURCE%/*}/../packaging/grafana/prp-hsr.json" ||
            fail "the Grafana dashboard is not among the exporter's examples under $prefix"
    done <<EOF
$work/exporter - $work/exporter/lib/systemd/system/prp-hsr-exporter.service $work/exporter/etc/default/prp-hsr-exporter
/usr $work/usr /usr/lib/systemd/system/prp-hsr-exporter.service /etc/default/prp-hsr-exporter
EOF
fi

# The SNMP component (where Net-SNMP's agent library was found), only on
# request: the agent with its page, clean under mandoc's lint; its unit
# names the agent and the options' file of the same install.
if [ -e "$build/bin/prp-hsr-agentx" ]; then
    [ ! -e "$work/programs/bin/prp-hsr-agentx" ] || fail "prp-hsr-agentx installed with the programs"
    DESTDIR=$work/snmp cmake --install "$build" --prefix /usr --component snmp >/dev/null ||
        fail "the SNMP component does not install"
    snmp=$work/snmp/usr
    [ -x "$snmp/bin/prp-hsr-agentx" ] && [ -f "$snmp/lib/sysusers.d/prp-hsr-snmp.conf" ] ||
        fail "the SNMP component lacks its agent or its user"
    lint=$(mandoc -T lint "$snmp/share/man/man1/prp-hsr-agentx.1" 2>&1 | grep -v -e "referenced manual not found" -e "mandoc.db lacks")
    [ -z "$lint" ] || fail "$lint"
    got=$(grep -E '^(EnvironmentFile|ExecStart)=' "$snmp/lib/systemd/system/prp-hsr-snmp.service" 2>&1)
    [ "$got" = $'EnvironmentFile=-/etc/default/prp-hsr-snmp\nExecStart=/usr/bin/prp-hsr-agentx $ARGS' ] ||
        fail "SNMP unit: $got"
    [ -f "$work/snmp/etc/default/prp-hsr-snmp" ] || fail "the SNMP unit's options are not in /etc/default"
fi

[ $status -eq 0 ] && echo "installs as documented"
exit $status
