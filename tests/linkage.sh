#!/usr/bin/env bash
# The programs load like C programs: the C library and, for the board tools,
# libqvgpio, for the SNMP subagent Net-SNMP's two libraries; no C++ runtime.  Board tools bind all of libqvgpio at load and
# search for it through a RUNPATH in the build tree only.  Every program is
# hardened as Debian's packages are: position-independent, relocations
# read-only once all are bound at load, a stack protector, fortified calls.
# Usage: linkage.sh BIN_DIR BOARD_TOOL... -- PROGRAM... [-- SNMP_PROGRAM...]
set -u
bin=$1
shift
tools=() others=() snmp=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do tools+=("$1"); shift; done
[ $# -gt 0 ] && shift
while [ $# -gt 0 ] && [ "$1" != -- ]; do others+=("$1"); shift; done
[ $# -gt 0 ] && shift
snmp=("$@")
status=0
check() {
    local program=$1 expected=$2 runpath=$3 dynamic
    dynamic=$(readelf -d "$bin/$program")
    local needed
    needed=$(sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' <<<"$dynamic" | sort | tr '\n' ' ')
    if ! [[ $needed =~ ^$expected$ ]]; then
        echo "$program needs: $needed(expected: $expected)"; status=1
    fi
    if [ "$(sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p' <<<"$dynamic")" != "$runpath" ]; then
        echo "$program: RUNPATH is not '$runpath'"; status=1
    fi
    if grep -q '(RPATH)' <<<"$dynamic"; then
        echo "$program has an RPATH, which LD_LIBRARY_PATH cannot override"; status=1
    fi
    if ! grep -q 'BIND_NOW' <<<"$dynamic"; then
        echo "$program binds lazily"; status=1
    fi
    if ! grep -q 'Flags:.*PIE' <<<"$dynamic"; then
        echo "$program is not position-independent"; status=1
    fi
    if ! readelf -lW "$bin/$program" | grep -q GNU_RELRO; then
        echo "$program has no read-only relocations"; status=1
    fi
    local imports
    imports=$(readelf --dyn-syms -W "$bin/$program")
    if ! grep -q '__stack_chk_fail' <<<"$imports"; then
        echo "$program has no stack protector"; status=1
    fi
    if ! grep -q '__[a-z]*printf_chk' <<<"$imports"; then
        echo "$program has no fortified calls"; status=1
    fi
}
for tool in "${tools[@]}"; do
    check "$tool" "libc.so.6 libqvgpio.so " '$ORIGIN/../lib'
done
for program in "${others[@]}"; do
    check "$program" "libc.so.6 " ''
done
for program in "${snmp[@]}"; do
    check "$program" 'libc\.so\.6 libnetsnmp\.so\.[0-9]+ libnetsnmpagent\.so\.[0-9]+ ' ''
done
[ $status -eq 0 ] && echo "all $((${#tools[@]} + ${#others[@]} + ${#snmp[@]})) programs load like hardened C programs"
exit $status
