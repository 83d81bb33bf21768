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
for _ in $(seq 50); do grep -q 'held at 5' "$work/service" && break; sleep 0.1; done

pane() { tmux -L "$socket" capture-pane -p -t view; }
keys() { tmux -L "$socket" send-keys -t view "$@"; }
# expect NAME PATTERN [absent]: waits up to 5 s for the pane to show a line
# matching PATTERN (grep -E), or with "absent" for it to show none.
expect() {
    local name=$1 pattern=$2 absent=${3:-}
    for _ in $(seq 50); do
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
expect board-1 '^Board 1 live$'
expect rates '^rx bit/s +[0-9.]+ M +[0-9.]+ M +[-+][0-9.]+%$'
expect divergence '^rx bit/s +[0-9.]+ M +0 +\+100% !$'
expect graph '^rx A +·?█+ max [0-9.]+ M$'
expect footer '^q quit  b bytes  g graphs  \+/- mark >5%$'

# Keys: bytes, graphs off, the mark raised.
keys b
expect bytes '^rx B/s +[0-9.]+ M +[0-9.]+ M'
keys g
expect graphs-off '^rx A ' absent
keys + +
expect mark-raised 'mark >20%$'
keys b g

# A smaller window: the graphs go first, then one board at a time.
tmux -L "$socket" resize-window -t view -x 40 -y 10
expect smaller '^board 1 of 2 '
expect smaller-no-graph '^rx A ' absent
keys Down
expect scrolled '^Board 1 live$'
tmux -L "$socket" resize-window -t view -x 30 -y 6
expect too-small '^WatchBoards needs 40x8$'
tmux -L "$socket" resize-window -t view -x 80 -y 24
expect larger '^rx B +·?'

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

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
