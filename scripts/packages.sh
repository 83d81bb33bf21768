# Sourced by the other scripts: brings in the Debian packages the build
# needs, or says which to install.  Usage: need_packages PACKAGE...
need_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages; as root run: apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    apt-get update -q
    # Some packages (prometheus, prometheus-node-exporter) start their daemon
    # when installed: a policy-rc.d that forbids it while apt-get runs.
    (
        policy=/usr/sbin/policy-rc.d
        if [ ! -e $policy ]; then
            trap 'rm -f $policy' EXIT
            printf '#!/bin/sh\n# No daemon starts while the build installs packages.\nexit 101\n' >$policy
            chmod 755 $policy
        fi
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    )
}

BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev mandoc libsnmp-dev)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The tests' tools: the alerting rules are tried with promtool and with a
# real Prometheus scraping a real node exporter (tests/prometheus/), the
# monitoring plugin's answer with Perl's Monitoring::Plugin and its
# CheckCommand with Icinga 2 (tests/plugin/), the SNMP subagent under snmpd
# with Net-SNMP's tools (tests/agentx/).
TEST_PACKAGES=(util-linux tmux systemd prometheus prometheus-node-exporter curl jq
    libmonitoring-plugin-perl icinga2-bin snmpd snmp)
# Making the packages, and trying them as their users meet them.
PACKAGING_PACKAGES=(build-essential debhelper dpkg-dev lintian man-db)
WINDOWS_PACKAGING_PACKAGES=(msitools wixl unzip)

# Wine for the Windows tests, in a prefix of the build's own, its server and
# system processes kept up between the many short runs.  The system processes
# are started once here, away from any test's output: they would otherwise
# inherit the first test's pipes and hold them open.
start_wine() {
    export WINEPREFIX=$PWD/build-windows/wine-prefix WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or HTML engine to offer
    mkdir -p "$WINEPREFIX"
    wineserver -k 2>/dev/null || true
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wineserver -w
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}
