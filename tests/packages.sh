#!/usr/bin/env bash
# The packages in DIST_DIR as their users meet them.  Debian: lintian finds
# nothing; the packages install, every program has its manual page, a
# board tool without the maker's library is refused by the loader, and run
# the documented way it works on the simulated board; the monitoring
# plugin answers from its folder, and Icinga 2 takes its example; the
# exporter's unit is enabled, clean under systemd-analyze verify and exposed
# no more than 1.5 by its security rating, its options, link, rules and
# Grafana dashboard in place; the SNMP subagent's unit likewise, exposed no
# more than 2.0, its user made, its options taken by the agent and its
# example for snmpd.conf naming that user; purged, they leave nothing.  Windows, under
# Wine: the unzipped programs run with the unzipped stand-ins, the plugin
# among them; the MSI installs silently, puts the programs on PATH, and
# uninstalls with its PATH entry.
# Installing needs root.
# Usage: packages.sh DIST_DIR [--linux-only]
set -u
dist=$(realpath "$1")
windows=yes
[ "${2:-}" = "--linux-only" ] && windows=
work=$(mktemp -d)
export QVGPIO_SIM_DIR=$work/boards PATH=/usr/sbin:/usr/bin:/sbin:/bin
unset LD_LIBRARY_PATH
service=
passed=0 failed=0

# expect NAME WANT GOT: GOT (line ends made Unix ones) is WANT.
expect() {
    if [ "${3//$'\r'/}" = "$2" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED %s:\n--- want\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    fi
}

ask='Enter the boardIndex:'
links=$'Get mode control register of LanA...............................
Link Status of LanA = 0x2d
Get mode control register of LanB...............................
Link Status of LanB = 0x0'
no_block=$'Enter the board index:Could not open file mapping object (2).'

# --- Debian
tools=$(ls "$dist"/prp-hsr-tools_*.deb) standins=$(ls "$dist"/prp-hsr-standins_*.deb)
exporter=$(ls "$dist"/prp-hsr-exporter_*_all.deb) snmp=$(ls "$dist"/prp-hsr-snmp_*.deb)
expect lintian "" "$(lintian --fail-on error,warning "$tools" "$standins" "$exporter" "$snmp" 2>&1 | grep -v '^running with root')"
expect depends-on-no-board-library "" "$(dpkg-deb -f "$tools" Depends | grep -oE '[a-z-]*(qvgpio|standins)[a-z-]*')"
expect exporter-relations "prp-hsr-tools (>= $(dpkg-deb -f "$tools" Version)) / prometheus-node-exporter" \
    "$(dpkg-deb -f "$exporter" Depends Recommends | sed 's/^[A-Za-z]*: //' | paste -sd/ | sed 's|/| / |')"

purge() { [ "$(id -u)" -ne 0 ] || dpkg --purge prp-hsr-snmp prp-hsr-exporter prp-hsr-standins prp-hsr-tools >/dev/null 2>&1; }
trap '[ -z "$service" ] || kill $service; purge; rm -rf "$work"' EXIT
if [ "$(id -u)" -eq 0 ]; then
    purge # what a stopped run left
    dpkg -i "$tools" "$standins" "$exporter" "$snmp" >/dev/null
    files=$(dpkg -L prp-hsr-tools prp-hsr-standins prp-hsr-exporter prp-hsr-snmp)

    for program in $(grep '^/usr/bin/' <<<"$files"); do
        expect "page-${program##*/}" "" "$(man -w "${program##*/}" >/dev/null 2>&1 || echo missing)"
    done
    # The monitoring plugin beside Debian's, with its page and its example
    # for Icinga 2 as Icinga 2 takes it.
    # Its state between checks in the run's own folder, never root's.
    plugin="env MP_STATE_PATH=$work/state /usr/lib/nagios/plugins/check_prp_hsr"
    expect plugin-page "" "$(man -w check_prp_hsr >/dev/null 2>&1 || echo missing)"
    expect plugin-nothing-published "PRP-HSR UNKNOWN - no board published, status 3" \
        "$(out=$($plugin); echo "$out, status $?")"
    expect plugin-icinga-example "status 0" \
        "$(bash "$(dirname "$0")/plugin/icinga.sh" /usr/share/doc/prp-hsr-tools/examples/check_prp_hsr.conf >&2
            echo "status $?")"
    expect loader-refuses "status 127" "$(echo 1 | ShowLinkStatus 2>/dev/null; echo "status $?")"
    qvgpio-sim set-link-status 0x59 4 0x2d
    expect run-on-simulator "$ask"$'\n'"$links"$'\nstatus 0' \
        "$(echo 1 | qvgpio-sim run ShowLinkStatus; echo "status $?")"
    expect journal $'GetLinkStatus(0x59, 4)\nGetLinkStatus(0x59, 6)' "$(qvgpio-sim journal)"

    /usr/lib/prp-hsr-standins/RiDuvOzi.exe 7 7:linkStatusB=0 >"$work/service" &
    service=$!
    for _ in $(seq 300); do grep -q publishing "$work/service" && break; sleep 0.1; done
    # Its first group; the pipe's end stops it at its next.
    expect watch-service $'Enter the board index:prpValue.linkStatusA = 1\nprpValue.linkStatusB = 0' \
        "$(echo 7 | timeout 30 WatchLinkStatus | head -n 2)"
    expect plugin-on-service "PRP-HSR CRITICAL - board 7 LanB down, status 2" \
        "$(out=$($plugin 7); echo "${out%% |*}, status $?")"
    kill $service
    wait $service
    service=

    # The exporter: its unit enabled as Debian's exporters are, and checked
    # as systemd would load it; the node exporter's link leads to the file
    # the unit has WatchBoards write, in the unit's runtime folder; the
    # options as shipped are WatchBoards' own; the rules load, and the
    # Grafana dashboard is whole.
    unit=/lib/systemd/system/prp-hsr-exporter.service
    enabled=/etc/systemd/system/multi-user.target.wants/prp-hsr-exporter.service
    expect exporter-enabled "$unit" "$(readlink "$enabled")"
    expect exporter-verify "status 0" "$(systemd-analyze verify prp-hsr-exporter.service 2>&1; echo "status $?")"
    expect exporter-security "" "$(systemd-analyze security --offline=true --threshold=15 "$unit" >"$work/security" 2>&1 ||
        grep -E '✗|Overall' "$work/security")"
    link=/var/lib/prometheus/node-exporter/prp-hsr.prom
    written=$(sed -n 's/^ExecStart=.* --textfile \([^ ]*\).*/\1/p' "$unit")
    expect exporter-link "/run/prp-hsr-exporter/prp-hsr.prom $written" "$(readlink "$link") /run/$(sed -n 's/^RuntimeDirectory=//p' "$unit")/${written##*/}"
    expect exporter-options 'ARGS="-s 1G --names /etc/prp-hsr/boards"' "$(grep -v '^#' /etc/default/prp-hsr-exporter)"
    expect exporter-options-conffile "/etc/default/prp-hsr-exporter /etc/prp-hsr/boards" "$(dpkg-query -W -f '${Conffiles}\n' prp-hsr-exporter | awk 'NF { print $1 }' | sort | tr '\n' ' ' | sed 's/ $//')"
    expect exporter-options-taken "status 0" \
        "$(. /etc/default/prp-hsr-exporter && WatchBoards $ARGS -n 1 424299 >/dev/null 2>&1; echo "status $?")"
    expect exporter-rules "" "$(promtool check rules /usr/share/doc/prp-hsr-exporter/examples/prp-hsr-alerts.yml >/dev/null 2>&1 || echo fail)"
    expect exporter-dashboard "status 0" \
        "$(bash "$(dirname "$0")/grafana/structure.sh" /usr/share/doc/prp-hsr-exporter/examples/prp-hsr-dashboard.json >&2
            echo "status $?")"

    # The SNMP subagent: its unit enabled and checked the same way, run as
    # the user the package made; its options are the agent's own, and its
    # example gives snmpd's socket to that user's group.
    unit=/lib/systemd/system/prp-hsr-snmp.service
    snmp_enabled=/etc/systemd/system/multi-user.target.wants/prp-hsr-snmp.service
    expect snmp-enabled "$unit" "$(readlink "$snmp_enabled")"
    expect snmp-verify "status 0" "$(systemd-analyze verify prp-hsr-snmp.service 2>&1; echo "status $?")"
    expect snmp-security "" "$(systemd-analyze security --offline=true --threshold=20 "$unit" >"$work/security" 2>&1 ||
        grep -E '✗|Overall' "$work/security")"
    user=$(sed -n 's/^User=//p' "$unit")
    expect snmp-user "prp-hsr-snmp /usr/sbin/nologin" "$(getent passwd "$user" | awk -F: '{ print $1, $7 }')"
    expect snmp-options-taken "status 0" \
        "$(. /etc/default/prp-hsr-snmp && prp-hsr-agentx $ARGS -h >/dev/null 2>&1; echo "status $?")"
    example=/usr/share/doc/prp-hsr-snmp/examples/snmpd-agentx.conf
    expect snmp-example "agentXPerms 0660 0755 Debian-snmp $user" "$(grep '^agentXPerms' "$example")"

    purge
    expect purged "" "$(dpkg-query -W -f '${Status}\n' prp-hsr-tools prp-hsr-standins prp-hsr-exporter prp-hsr-snmp 2>/dev/null | grep -v not-installed)"
    expect exporter-disabled "" "$(ls "$enabled" "$snmp_enabled" 2>/dev/null)"
    for path in $files; do
        [ -d "$path" ] && [[ $path != *prp-hsr* ]] && continue # /usr, /usr/bin...
        [ -e "$path" ] || [ -L "$path" ] && expect "removed $path" "" "$path"
    done
else
    echo "(not root: the Debian packages are not installed and tried)"
fi

# --- Windows, under Wine
if [ -n "$windows" ]; then
    unzip -q "$dist"/prp-hsr-tools-*-windows-x64.zip -d "$work/tools"
    unzip -q "$dist"/prp-hsr-standins-*-windows-x64.zip -d "$work/standins"
    sim=$work/standins/lib/prp-hsr-standins/qvgpio-sim.exe
    expect zip-holds-no-board-library "" "$(cd "$work/tools" && find . -iname '*qvgpio*')"
    wine "$sim" set-link-status 0x59 4 0x2d
    expect zip-run-on-simulator "$ask"$'\n'"$links" \
        "$(echo 1 | wine "$sim" run "Z:$work/tools/bin/ShowLinkStatus.exe" 2>/dev/null)"
    expect zip-plugin "PRP-HSR UNKNOWN - no board published, status 3" \
        "$(out=$(MP_STATE_PATH="Z:$work/state" wine "$work/tools/bin/check_prp_hsr.exe" 2>/dev/null); echo "$out, status $?")"
    expect zip-monitor "$no_block"$'\nstatus 1' \
        "$(echo 7 | wine "$work/tools/bin/WatchLinkStatus.exe" 2>/dev/null; echo "status $?")"

    msi=$(winepath -w "$(ls "$dist"/prp-hsr-tools-*.msi)")
    folder="$WINEPREFIX/drive_c/Program Files/PRP-HSR board tools"
    path() { wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH |
        grep -o 'PRP-HSR board tools[^;]*'; }
    expect msi-holds-no-board-library "" "$(msiinfo export "$(ls "$dist"/*.msi)" File | grep -i qvgpio)"
    wine msiexec /x "$msi" /qn 2>/dev/null # what a stopped run left
    expect msi-installs "status 0" "$(wine msiexec /i "$msi" /qn 2>&1; echo "status $?")"
    expect msi-on-path 'PRP-HSR board tools\bin' "$(path)"
    expect msi-program-runs "$no_block"$'\nstatus 1' \
        "$(echo 7 | wine "$folder/bin/WatchLinkStatus.exe" 2>/dev/null; echo "status $?")"
    # Found through PATH, from the folder of the stand-ins.
    expect msi-tool-on-simulator "$ask"$'\n'"$links" \
        "$(cd "${sim%/*}" && echo 1 | wine qvgpio-sim.exe run ShowLinkStatus.exe 2>/dev/null)"
    expect msi-uninstalls "status 0" "$(wine msiexec /x "$msi" /qn 2>&1; echo "status $?")"
    expect msi-removed "" "$(ls "$folder" 2>&1 | grep -v 'No such file'; path)"
    # Uninstalled, PATH is what it was, to the byte.
    expect msi-path-as-before "status 0" \
        "$(bash "$(dirname "$0")/windows/msi_path.sh" "$(ls "$dist"/*.msi)" >&2; echo "status $?")"
fi

echo "packages: $passed passed, $failed failed"
[ $failed -eq 0 ]
