#!/usr/bin/env bash
# WatchBoards on a terminal, end to end, in tmux at 80x24: against the
# stand-in service publishing boards 0 and 1, board 1's LanB held still so
# that it carries nothing.  Keys, a window made smaller and larger, and q
# leaving the shell's terminal as it was.
# Usage: watchboards_tmux.sh BIN_DIR
set -u
bin=$1
socket=watchboards-test-$$
work=$(mktemp -d)
service=
finish() {
    tmux -L "$socket" kill-server 2>/dev/null
    [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
passed=0 failed=0

"$bin/RiDuvOzi.exe" 0 1 1:rxGoodOctetsB=5 >"$work/service" 2>&1 </dev/null &
service=$!
for _ in $(seq 300); do grep -q 'held at 5' "$work/service" && break; sleep 0.1; done

pane() { tmux -L "$socket" capture-pane -p -t view; }
# The pane with its colours, as the terminal's escape sequences.
coloured() { tmux -L "$socket" capture-pane -e -p -t view; }
keys() { tmux -L "$socket" send-keys -t view "$@"; }
# expect NAME PATTERN [absent]: waits up to 30 s for the pane to show a line
# matching PATTERN (grep -E), or with "absent" for it to show none.
expect() {
    local name=$1 pattern=$2 absent=${3:-}
    for _ in $(seq 300); do
        if pane | grep -qE -- "$pattern"; then
            [ -z "$absent" ] && { passed=$((passed + 1)); return; }
        elif [ -n "$absent" ]; then
            passed=$((passed + 1)); return
        fi
        sleep 0.1
    done
    failed=$((failed + 1))
    echo "FAILED $name: pane ${absent:+still }shows${absent:+ /$pattern/}${absent:- no /$pattern/}:"
    pane | sed 's/^/    /'
}

tmux -L "$socket" new-session -d -s view -x 80 -y 24 "bash --norc --noprofile"
tmux -L "$socket" set-option -g status off
keys "PS1='$ '; stty -g >$work/modes-before; echo before" Enter
expect shell '^before$'
keys "$bin/WatchBoards 0 1" Enter

# Both boards, LanA beside LanB, rates, graphs; board 1's divergence marked.
expect header '^WatchBoards +LanA +LanB +A−B$'
expect board-0 '^Board 0 live$'
expect board-1 '^Board 1 · rx \+100\.0%$'
expect rates '^rx bit/s +[0-9.]+ M +[0-9.]+ M +[-+][0-9.]+%$'
expect divergence '^rx bit/s +[0-9.]+ M +0 +\+100% !$'
expect graph '^rx A +·?█+ max [0-9.]+ M$'
expect footer '^ +q quit  b bytes  g graphs  \+/- mark >5%  t trouble  \? keys$'
# A warning in yellow: the divergence, in the heading and in its cell.
if coloured | grep -q $'\e\\[[0-9;]*33m[^\e]*rx +100.0%' &&
    coloured | grep -q $'\e\\[[0-9;]*33m[^\e]*+100%'; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED yellow: no yellow divergence"; coloured | grep -a '100%' | cat -v
fi
# ?: every key; any key back.
keys '?'
expect keys-shown '^t +only the boards in trouble$'
keys x
expect keys-gone '^Board 0 live$'
# t: only the boards in trouble.
keys t
expect trouble-only '^in trouble only: 1 of 2 '
expect trouble-only-board-0 '^Board 0 live$' absent
keys t
expect all-again '^Board 0 live$'

# Keys: bytes, graphs off, the mark raised.
keys b
expect bytes '^rx B/s +[0-9.]+ M +[0-9.]+ M'
keys g
expect graphs-off '^rx A ' absent
keys + +
expect mark-raised 'mark >20%  t trouble  \? keys$'
keys b g

# A smaller window: the graphs go first, then one board at a time.
tmux -L "$socket" resize-window -t view -x 40 -y 10
expect smaller '^board 1 of 2 ↑↓  1 in trouble +\? keys$'
expect smaller-no-graph '^rx A ' absent
keys Down
expect scrolled '^Board 1 · rx \+100\.0%$'
tmux -L "$socket" resize-window -t view -x 30 -y 6
expect too-small '^WatchBoards needs 40x10, not'
tmux -L "$socket" resize-window -t view -x 80 -y 24
expect larger '^rx B +·?'

# A board not watched: said until the next key.
keys 9 9 Enter
expect no-board '^no board 99 '
keys b
expect no-board-gone '^no board 99 ' absent
keys b

# Ctrl-Z: the shell's terminal while stopped; fg: the screen again, whole,
# the keys read one by one, even while a board's number is being typed.
keys 1 C-z
expect stopped 'Stopped'
expect stopped-screen-left '^WatchBoards +LanA' absent
keys "fg" Enter
expect continued '^WatchBoards +LanA +LanB'
expect continued-whole '^Board 0 live$'
expect continued-typing 'go to board 1_'
keys Escape

# q: the shell's screen as it was, the terminal's modes as they were.
keys q
expect left '^WatchBoards +LanA' absent
expect screen-restored '^before$'
keys "echo status=\$?; stty -g >$work/modes-after" Enter
expect status '^status=0$'
if cmp -s "$work/modes-before" "$work/modes-after"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED modes-restored: $(cat "$work/modes-after")"
fi

# -n: the last screen stays to be read.  Four samples make sure of a rate:
# a round that comes just before the service publishes puts the next half a
# second later, and the rate comes with the one after.
keys clear Enter
keys "$bin/WatchBoards -n 4 0 1; echo done=\$?" Enter
expect last-screen-kept '^done=0$'
expect last-screen '^Board 1 · rx \+100\.0%$'
# A terminal that cannot address the cursor gets a table for a person,
# within 80 columns, and why; one without UTF-8, the screen in ASCII.
keys clear Enter
keys "TERM=dumb $bin/WatchBoards -n 2 0 1; echo done=\$?" Enter
expect dumb-why '^WatchBoards: no screen: TERM=dumb cannot address the cursor \(-l for script'

expect dumb-table '^ Board  Trouble +LanA LanB +rx A +rx B +A-B err A err B lostA lostB$'
expect dumb-done '^done=0$'
if [ "$(pane | awk '/^ +(Board|[0-9])/ { if (length($0) > 80) n++ } END { print n + 0 }')" = 0 ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAILED dumb-width: lines wider than 80 columns"; pane
fi
keys clear Enter
keys "LC_ALL=C $bin/WatchBoards -n 4 0 1; echo done=\$?" Enter
expect ascii-header '^WatchBoards +LanA +LanB +A-B$'
expect ascii-graph '^rx A +\.*@+ max'
# Every process the test started has ended before its terminal goes.
expect ascii-done '^done=0$'

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
