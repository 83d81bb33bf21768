#!/usr/bin/env bash
# WatchBoards under Wine on a console of its own, in a tmux pane: Wine's
# console accepts virtual terminal processing but shows the sequences as
# text, so WatchBoards must print a readable table there, say why, and leave
# no escape sequence on the pane, and q must end it; and what it writes to a console beyond ASCII must
# show as the characters it is (console_output.exe, WatchBoards' output code
# alone).  Wine's server must run in the test's PID namespace (as it does
# when started in the same shell): from outside one, Wine's console fails
# some of its calls at random (GetConsoleMode, GetConsoleScreenBufferInfo).
# Usage: console.sh BIN_DIR
set -u
bin=$1
export WINEDEBUG=-all LC_ALL=C.UTF-8 # Wine's console shows UTF-8 to tmux
socket= # a server of its own for each run, its socket in $work
work=$(mktemp -d)
service=
finish() {
    [ -n "$socket" ] && tmux -S "$socket" kill-server 2>/dev/null
    [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
passed=0 failed=0
pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAILED $1; the pane:"
    sed 's/^/    /' "$work/pane"
}

wine "$bin/RiDuvOzi.exe" 424260 >"$work/service" 2>&1 </dev/null &
service=$!
for _ in $(seq 600); do grep -q 'publishing' "$work/service" && break; sleep 0.1; done

# run NAME COMMAND...: the command in a new 120x30 pane, waited for (60 s at
# most); the pane's text, its history too, into $work/pane.
run() {
    local name=$1 command
    shift
    command=$(printf '%q ' "$@")
    rm -f "$work/ended"
    socket=$work/tmux-$name
    tmux -S "$socket" new-session -d -s "$name" -x 120 -y 30 \
        "$command; echo \"ended \$?\" >$work/ended; exec sleep 600"
    for _ in $(seq 600); do [ -s "$work/ended" ] && break; sleep 0.1; done
    tmux -S "$socket" capture-pane -p -S - -t "$name" >"$work/pane"
    tmux -S "$socket" kill-server
    socket=
    if grep -qx 'ended 0' "$work/ended" 2>/dev/null; then
        pass
    else
        fail "$name: did not end with 0 ($(cat "$work/ended" 2>/dev/null))"
    fi
}

# expect NAME PATTERN [absent]: a line of the pane matches PATTERN (grep -E),
# or with "absent" none does.
expect() {
    local name=$1 pattern=$2 absent=${3:-}
    if grep -qE -- "$pattern" "$work/pane"; then
        [ -z "$absent" ] && pass || fail "$name: /$pattern/ shown"
    else
        [ -n "$absent" ] && pass || fail "$name: no /$pattern/"
    fi
}
no_debris() {
    local sequence
    for sequence in '[?1049h' '[?25l' '[0m' '[2J' '[?1049l' '[1C'; do
        grep -qF -- "$sequence" "$work/pane" && { fail "$1: escape sequence $sequence shown"; return; }
    done
    pass
}

# WatchBoards: a table for a person, not the screen, and why.
run watchboards wine "$bin/WatchBoards.exe" -n 2 424260
no_debris watchboards
expect why '^WatchBoards: no screen: this console does not interpret VT sequences'
expect header '^ Board  Trouble +LanA LanB +rx A'
expect board '^424260  live +up +up '
expect no-mojibake 'Â' absent

# q ends it, however long it would have gone on.
socket=$work/tmux-quit
tmux -S "$socket" new-session -d -s quit -x 120 -y 30 \
    "wine $bin/WatchBoards.exe 424260; echo \"ended \$?\" >$work/ended; exec sleep 600"
for _ in $(seq 600); do tmux -S "$socket" capture-pane -p -t quit | grep -q '^424260 ' && break; sleep 0.1; done
rm -f "$work/ended"
tmux -S "$socket" send-keys -t quit q
for _ in $(seq 600); do [ -s "$work/ended" ] && break; sleep 0.1; done
tmux -S "$socket" kill-server
socket=
grep -qx 'ended 0' "$work/ended" 2>/dev/null && pass || { echo "FAILED quit: q did not end it"; failed=$((failed + 1)); }

# The check for a screen leaves the row it ran on, and the next, as they
# were, shown and held, wherever the cursor stood (from column 113 on, the
# check runs at the row's start, and nothing of it wraps onto the next row);
# text goes to the console as the characters it is, even cut between writes.
for column in 0 60 112 113 119; do
    run "column-$column" wine "$bin/console_output.exe" $column
    no_debris "column-$column"
    dots=$(printf "%${column}s" "" | tr ' ' .)
    rows=$(head -n 2 "$work/pane") # the second blank: cut off by $()
    [ "$rows" = "$dots" ] && pass || fail "column-$column-rows: not $column dots, then a blank row"
    held=$(sed -n '/^held:$/{n;N;p;q}' "$work/pane")
    [ "$held" = "$dots" ] && pass || fail "column-$column-held: the console holds other rows"
    # Wine 8's console does not interpret the sequences: no screen.
    expect "column-$column-lines" '^lines$'
    expect "column-$column-text" '^a·b €→$'
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
