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

[ $status -eq 0 ] && echo "installs as documented"
exit $status
