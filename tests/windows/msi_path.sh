#!/usr/bin/env bash
# The MSI's PATH entry under Wine's installer: installed, the programs'
# folder is on the system PATH; uninstalled, PATH is what it was, to the
# byte.  Uses the Wine prefix in WINEPREFIX.
# Usage: msi_path.sh MSI
set -u
export WINEDEBUG=-all
msi=$(winepath -w "$1")
path() {
    wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH \
        </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *PATH *REG_[A-Z_]* *//p'
}
passed=0 failed=0
check() { # NAME CONDITION...
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED $name: PATH $(path)"
    fi
}

wine msiexec /x "$msi" /qn </dev/null >/dev/null 2>&1 # what a stopped run left
before=$(path)
check installs wine msiexec /i "$msi" /qn </dev/null >/dev/null 2>&1
check on-path grep -q 'PRP-HSR board tools\\bin' <<<"$(path)"
check uninstalls wine msiexec /x "$msi" /qn </dev/null >/dev/null 2>&1
check path-as-before [ "$(path)" = "$before" ]

echo "msi path: $passed passed, $failed failed"
[ $failed -eq 0 ]
