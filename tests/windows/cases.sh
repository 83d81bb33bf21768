#!/usr/bin/env bash
# The Windows programs under Wine, case by case from the table the Linux
# tests run (tests/cases/programs.cases, whose grammar is at its top): exact
# output bytes (Windows line ends), exit status, standard error, the fields
# of WatchBoards' lines, check_prp_hsr's answer as Monitoring::Plugin reads
# it, and the simulated board's journal.
# Usage: cases.sh BIN_DIR TABLE
set -u
bin=$1 table=$2
perfdata=$(dirname "${BASH_SOURCE[0]}")/../plugin/perfdata.pl
export WINEDEBUG=-all
work=$(mktemp -d)
service=
trap 'stop_service; rm -rf "$work"' EXIT
passed=0 failed=0

# Each case's scratch folder has letters outside any ANSI code page, and
# ones its best fit would change (Ł to L): a path must go through whole.
scratch=$work/Ελληνικά-Łódź
declare -A texts=([block]='Global\\QvPrpFileMapObject' [elsewhere]="Z:$work/elsewhere"
    [scratch]="Z:$scratch")
mkdir "$work/elsewhere" "$work/services"
cp "$bin/ShowLinkStatus.exe" "$bin/WatchLinkStatus.exe" "$work/elsewhere/"

# ${NAME} and ${NAME@A,B,...} replaced, until none is left: in REPLY.
expand() {
    local text=$1 name replacement i parts
    while [[ $text =~ \$\{([^}@]+)(@([^}]*))?\} ]]; do
        name=${BASH_REMATCH[1]}
        [ -n "${texts[$name]+set}" ] || { echo "$table: nothing defined as $name" >&2; exit 1; }
        replacement=${texts[$name]}
        IFS=, read -ra parts <<<"${BASH_REMATCH[3]}"
        for ((i = ${#parts[@]}; i > 0; i--)); do
            replacement=${replacement//"@$i"/"${parts[i - 1]}"}
        done
        text=${text/"${BASH_REMATCH[0]}"/"$replacement"}
    done
    REPLY=$text
}

# The text a field stands for: \n, \t, \s, \p and \\ replaced.
plain() { local text=${1//'\s'/ }; text=${text//'\p'/|}; printf '%b' "$text"; }
# WANTED OUTPUT: the output with each whole number where WANTED has \# (a
# number that the moment of the run decides) turned into \#.
any_numbers_marked() {
    perl -0777 -e 'open(my $w, "<", $ARGV[0]) or die; open(my $o, "<", $ARGV[1]) or die;
        my ($want, $out) = (scalar <$w>, scalar <$o>); my ($i, $j, $marked) = (0, 0, "");
        while ($i < length $want && $j < length $out) {
            if (substr($want, $i, 2) eq "\\#" && substr($out, $j) =~ /^(\d+)/) {
                $marked .= "\\#"; $i += 2; $j += length $1;
            } elsif (substr($want, $i, 1) eq substr($out, $j, 1)) {
                $marked .= substr($out, $j++, 1); $i++;
            } else { last }
        }
        print $marked, substr($out, $j);' "$1" "$2"
}
trim() { local text=${1#"${1%%[![:space:]]*}"}; REPLY=${text%"${text##*[![:space:]]}"}; }

sim() { wine "$bin/qvgpio-sim.exe" "$@" 2>/dev/null | tr -d '\r'; }

stop_service() {
    [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null
    service=
}

# NAME ARGUMENT...: the stand-in service, its executable named NAME; waits
# for a line for each argument, as it says one for each board and setting.
start_service() {
    local name=$1 program=$bin/RiDuvOzi.exe
    shift
    if [ "$name" != RiDuvOzi.exe ]; then
        program=$work/services/$name
        cp "$bin/RiDuvOzi.exe" "$program"
    fi
    wine "$program" "$@" >"$work/service" 2>&1 </dev/null &
    service=$!
    for _ in $(seq 600); do
        [ "$(wc -l <"$work/service")" -ge $# ] && return
        sleep 0.1
    done
    echo "the service did not start: $(cat "$work/service")"
}

fail() { failed=$((failed + 1)); echo "FAILED $name: $*"; }

# PROGRAM ARGUMENT...: under Wine, its standard output where the case sends
# it ($goes): a full disk, closed at start, or the file of the output.
run() {
    case $goes in
    full) wine "$@" >/dev/full ;;
    closed) wine "$@" >&- ;;
    '') wine "$@" >"$work/out" ;;
    *) echo "stdout $goes: not full or closed" >&2; return 125 ;;
    esac
}

# Each line of the output has the fields of the check, by name: "lines N
# NAME=VALUE..." in the columns under the header, "json N ..." as members.
check_fields() {
    local kind=$1 count=$2
    shift 2
    tr -d '\r' <"$work/out" | awk -v kind="$kind" -v count="$count" -v fields="$*" '
        BEGIN { FS = "\t"; wanted = split(fields, pair, " ") }
        kind == "lines" && NR == 1 { for (i = 1; i <= NF; i++) column[$i] = i; next }
        {
            lines++
            for (i = 1; i <= wanted; i++) {
                split(pair[i], nv, "=")
                if (kind == "json") {
                    member = "\"" nv[1] "\":" nv[2]
                    at = index($0, member)
                    next_char = substr($0, at + length(member), 1)
                    if (at == 0 || (next_char != "," && next_char != "}"))
                        { print "no " member " in " $0; bad = 1 }
                } else if (!(nv[1] in column) || $column[nv[1]] != nv[2]) {
                    print nv[1] " is not " nv[2] " in " $0; bad = 1
                }
            }
        }
        END {
            if (lines != count) { print lines + 0 " lines, not " count; bad = 1 }
            exit bad
        }'
}

# Runs the case in the fields of case_line, with the checks in extra.
run_case() {
    local fields name command input output status calls words program got
    IFS='|' read -ra fields <<<"$case_line " # a last field empty is still one
    trim "${fields[0]}"; name=$REPLY
    if [ ${#fields[@]} -ne 6 ]; then fail "not 6 fields"; return; fi
    trim "${fields[1]}"; command=$REPLY
    trim "${fields[2]}"; input=$REPLY
    trim "${fields[3]}"; output=$REPLY
    trim "${fields[4]}"; status=$REPLY
    trim "${fields[5]}"; calls=$REPLY

    export QVGPIO_SIM_DIR=$work/boards-$((passed + failed))
    rm -rf "$scratch" && mkdir "$scratch"
    local setup
    IFS=';' read -ra setup <<<"$board"
    for one in "${setup[@]}"; do
        # shellcheck disable=SC2086
        [ -n "${one// /}" ] && sim $one >/dev/null
    done

    read -ra words <<<"$command"
    program=${words[0]}
    [[ $program == */* ]] || program=$bin/$program
    [[ $program == *.exe ]] || program=$program.exe
    local arguments=()
    for word in "${words[@]:1}"; do
        [ "$word" = "''" ] && arguments+=('') || arguments+=("$(plain "$word")")
    done
    local goes='' check # where standard output goes: "stdout full" or "closed"
    for check in "${extra[@]}"; do
        [[ $check == 'stdout '* ]] && goes=${check#stdout }
    done
    : >"$work/out"

    if [[ $output == '~'* ]]; then
        plain "${output#'~'}" | perl -pe 's/\n/\r\n/g' >"$work/want"
        plain "$input" | wine "$program" "${arguments[@]}" >"$work/out" 2>"$work/errors" &
        local running=$! wanted
        wanted=$(stat -c %s "$work/want")
        # Until it has written as much as the beginning wanted, or ended;
        # then it is stopped.  However long Wine takes to start.
        for _ in $(seq 600); do
            [ "$(stat -c %s "$work/out")" -ge "$wanted" ] && break
            kill -0 $running 2>/dev/null || break
            sleep 0.1
        done
        kill $running 2>/dev/null
        wait $running 2>/dev/null
        cmp -s -n "$(stat -c %s "$work/want")" "$work/out" "$work/want" ||
            { fail "output begins otherwise"; od -c "$work/out" | head -10; return; }
    else
        plain "$input" | run "$program" "${arguments[@]}" 2>"$work/errors"
        got=${PIPESTATUS[1]}
        if [ "$output" != '*' ]; then
            plain "$output" | perl -pe 's/\n/\r\n/g' >"$work/want"
            any_numbers_marked "$work/want" "$work/out" >"$work/marked"
            cmp -s "$work/marked" "$work/want" ||
                { fail "output"; diff <(od -c "$work/marked") <(od -c "$work/want") | head -10; return; }
        fi
        if [ "$status" = '!0' ] && [ "$got" = 0 ] || [ "$status" != '!0' ] && [ "$got" != "$status" ]; then
            fail "status $got, not $status"; return
        fi
    fi
    for check in "${extra[@]}"; do
        read -r kind rest <<<"$check"
        case $kind in
        errors)
            [ "$(tr -d '\r' <"$work/errors")" = "$(plain "$rest")" ] ||
                { fail "standard error: $(cat "$work/errors")"; return; } ;;
        lines | json)
            # shellcheck disable=SC2086
            check_fields "$kind" $rest || { fail "fields"; return; } ;;
        file)
            local file=${rest%% *} want=${rest#* }
            tr -d '\r' <"$scratch/$file" 2>/dev/null | grep -qxF "$(plain "$want")" ||
                { fail "$file holds no line $want"; return; } ;;
        perfdata)
            tr -d '\r' <"$work/out" | perl "$perfdata" "$rest" "${arguments[@]}" >"$work/read" ||
                { fail "read as Monitoring::Plugin reads it: $(cat "$work/read")"; return; } ;;
        stdout) ;;
        *) fail "unknown: $kind"; return ;;
        esac
    done
    got=$(sim journal | paste -sd '|')
    [ "$got" = "${calls//; /|}" ] || { fail "calls '$got', not '${calls//; /|}'"; return; }
    passed=$((passed + 1))
}

board= included=yes case_line= extra=()
flush() {
    [ -n "$case_line" ] && run_case
    case_line= extra=()
}
# The table on a descriptor of its own: what the runs read is theirs.
while IFS= read -r line <&3 || [ -n "$line" ]; do
    [[ $line =~ ^[[:space:]]*(#.*)?$ ]] && continue
    if [[ $line == [[:space:]]* ]]; then
        [ -n "$case_line" ] && { trim "$line"; expand "$REPLY"; extra+=("$REPLY"); }
        continue
    fi
    flush
    read -r keyword rest <<<"$line"
    case $keyword in
    define)
        name=${rest%% = *}
        trim "${rest#* = }"
        texts[$name]=$REPLY ;;
    board) board=$rest ;;
    service)
        stop_service
        # shellcheck disable=SC2086
        [ -n "$rest" ] && { expand "$rest"; start_service $REPLY; } ;;
    platforms) [ "$rest" = all ] || [ "$rest" = windows ] && included=yes || included= ;;
    *)
        [ -n "$included" ] && { expand "$line"; case_line=$REPLY; } ;;
    esac
done 3<"$table"
flush
stop_service

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
