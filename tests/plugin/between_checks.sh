#!/usr/bin/env bash
# check_prp_hsr between checks, with the real components: the stand-in
# service publishes boards 3 and 5 (5 by a service of its own, which is
# ended and started again), WatchBoards --textfile writes the exporter's
# file, and the plugin, run check after check with a state folder of the
# test's own, tells what happened between two of them: a LAN lost and back
# (WARNING), three times (CRITICAL); without the exporter's file, errors
# between two checks, and a reset; a board gone, CRITICAL in each of three
# checks with no board named, back after a while, and forgotten.  Then
# Icinga 2 schedules the plugin every 2 s through the CheckCommand shipped,
# while the service flaps LanA: the service's state goes HARD and a
# notification goes out.  Every setting is waited for in the block, every
# loss in the exporter's file; everything started is ended.
# Usage: between_checks.sh BIN_DIR CHECK_COMMAND_FILE
set -u
# The blocks of tests that run beside this one are boards too, to a check
# with no board named: where it may (as root), the test runs with a
# /dev/shm of its own.
if [ -z "${BETWEEN_CHECKS_ALONE:-}" ] && [ "$(id -u)" = 0 ] &&
    unshare -m true 2>/dev/null; then
    exec env BETWEEN_CHECKS_ALONE=1 unshare -m bash -c \
        'mount -t tmpfs -o mode=1777 tmpfs /dev/shm && exec bash "$0" "$@"' "$0" "$@"
fi
bin=$(realpath "$1")
command_file=$(realpath "$2")
work=$(mktemp -d)
pids=()
daemon=
stop_daemon() {
    [ -n "$daemon" ] || return
    kill -- -"$daemon" 2>/dev/null
    for _ in $(seq 100); do pgrep -g "$daemon" >/dev/null || break; sleep 0.1; done
    kill -KILL -- -"$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
    daemon=
}
finish() {
    stop_daemon
    exec 3>&- 4>&-
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
trap '' PIPE
passed=0 failed=0

# NAME WANT GOT: WANT a pattern, * where a figure varies (a duration).
expect() {
    # shellcheck disable=SC2053
    if [[ $3 == $2 ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED %s:\n--- want\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    fi
}

# until TEXT FILE [COUNT]: waits up to 10 s for COUNT lines of FILE that
# hold TEXT (1 by default).
until_in() {
    local found
    for _ in $(seq 100); do
        found=$(grep -cF -- "$1" "$2" 2>/dev/null)
        [ "${found:-0}" -ge "${3:-1}" ] && return 0
        sleep 0.1
    done
    echo "no '$1' in $2 (${3:-1} wanted)"
    return 1
}

# The stand-in service: boards 3 and 5, their counters at rates set, no
# error; further settings for board 3 through a pipe.
steady() { echo "$1:rxGoodOctetsA+=$2 $1:rxGoodOctetsB+=$3 $1:txOctetsA+=$4 $1:txOctetsB+=$4 $1:rxErrA=0 $1:rxErrB=0"; }
mkfifo "$work/settings3" "$work/settings5"
# shellcheck disable=SC2046
"$bin/RiDuvOzi.exe" 3 $(steady 3 125000 125000 100000) <"$work/settings3" >"$work/service3" 2>&1 &
pids+=($!)
exec 3>"$work/settings3"
start_board5() {
    # shellcheck disable=SC2046
    "$bin/RiDuvOzi.exe" 5 $(steady 5 200000 200000 150000) </dev/null >"$work/service5" 2>&1 &
    board5=$!
    pids+=($board5)
    until_in "publishing" "$work/service5"
}
start_board5
until_in "publishing" "$work/service3"
set3() { # SETTING TEXT: the setting, once in the block
    local said
    said=$(grep -cF -- "$2" "$work/service3")
    echo "$1" >&3
    until_in "$2" "$work/service3" $((said + 1))
}

file=$work/prp-hsr.prom
"$bin/WatchBoards" --textfile "$file" </dev/null >/dev/null 2>"$work/watchboards" &
pids+=($!)
until_in 'prp_hsr_board_state{board="5",state="live"} 1' "$file"
until_in 'prp_hsr_board_state{board="3",state="live"} 1' "$file"

# check ARGUMENT...: the plugin's output in $got, a line end after each
# line, and its status after it.
check() {
    got=$("$bin/check_prp_hsr" "$@"; echo "status $?")
}
rates() { echo "'board$1_rxA'=$2;;;0;125000000 'board$1_rxB'=$3;;;0;125000000 'board$1_txA'=$4;;;0;125000000 'board$1_txB'=$4;;;0;125000000"; }
apart() { echo "'board$1_rx_divergence'=0.0%;5;;0;100 'board$1_tx_divergence'=0.0%;5;;0;100"; }
errors() { echo "'board$1_errorsA'=$2;0;;0 'board$1_errorsB'=0;0;;0"; }
look_losses() { echo "'board$1_link_lossesA'=0;;;0 'board$1_link_lossesB'=0;;;0"; }
losses() { echo "'board$1_link_lossesA'=$2;0;2;0 'board$1_link_lossesB'=0;0;2;0"; }
# The look's rates are exact; those since the last check are over the
# periods between two files or records, which a loaded machine may write or
# read late: their sizes vary, LanA against LanB does not.
board3() { echo "$(rates 3 125000 125000 100000) $(apart 3) $(errors 3 0)"; }
board5() { echo "$(rates 5 200000 200000 150000) $(apart 5) $(errors 5 0)"; }
since3() { echo "$(rates 3 '*' '*' '*') $(apart 3) $(errors 3 0)"; }
since5() { echo "$(rates 5 '*' '*' '*') $(apart 5) $(errors 5 0)"; }
first=$'\nfirst check: only what one look sees is judged'

# A loss of LanA, as the exporter's file counts it: down for a
# publication at least, then up again.
losses_of3=0
flap() {
    set3 3:linkStatusA=0 "linkStatusA held at 0"
    until_in 'prp_hsr_link_status{board="3",lan="A"} 0' "$file"
    set3 3:linkStatusA=1 "linkStatusA held at 1"
    losses_of3=$((losses_of3 + 1))
    until_in "prp_hsr_link_losses_total{board=\"3\",lan=\"A\"} $losses_of3" "$file"
    until_in 'prp_hsr_link_status{board="3",lan="A"} 1' "$file"
}

# --- With the exporter's file: links lost between two checks.  LanA and
# LanB are not compared over a time a link was lost in: the look's
# divergence stands.
with=(--state-dir "$work/state" --textfile "$file" --forget 60)
check "${with[@]}"
expect first-check "PRP-HSR OK - 2 boards | $(board3) $(look_losses 3) $(board5) $(look_losses 5)$first
status 0" "$got"
flap
check "${with[@]}"
expect lost-once "PRP-HSR WARNING - board 3 LanA lost once since the last check, *s down | $(since3) $(losses 3 1) $(since5) $(losses 5 0)
status 1" "$got"
check "${with[@]}"
expect nothing-lost "PRP-HSR OK - 2 boards | $(since3) $(losses 3 0) $(since5) $(losses 5 0)
status 0" "$got"
flap
flap
flap
check "${with[@]}"
expect lost-three-times "PRP-HSR CRITICAL - board 3 LanA lost 3 times since the last check, *s down | $(since3) $(losses 3 3) $(since5) $(losses 5 0)
status 2" "$got"

# --- A board gone: CRITICAL at each check, no board named; back, then
# gone again and forgotten after --forget (its state said to be older).
kill "$board5"
wait "$board5"
# How long it has been gone is said from a second on.
for n in 1 2 3; do
    check "${with[@]}"
    gone="board 5 gone*"
    [ $n = 1 ] && gone="board 5 gone"
    expect "gone-check-$n" "PRP-HSR CRITICAL - $gone | $(since3) $(losses 3 0)
status 2" "$got"
done
start_board5
check "${with[@]}"
expect back "PRP-HSR OK - 2 boards | $(since3) $(losses 3 0) $(board5) $(look_losses 5)
board 5 back after *s away
status 0" "$got"
kill "$board5"
wait "$board5"
check "${with[@]}"
expect gone-again "PRP-HSR CRITICAL - board 5 gone | $(since3) $(losses 3 0)
status 2" "$got"
state=$(echo "$work"/state/check_prp_hsr/*)
away=$(sed -n 's/^board 5 gone away //p' "$state")
sed -i "s/^board 5 gone away .*/board 5 gone away $((away - 120000))/" "$state"
check "${with[@]}"
expect forgotten "PRP-HSR OK - 1 board | $(since3) $(losses 3 0)
board 5 gone for 2m0*s: forgotten
status 0" "$got"
check "${with[@]}"
expect forgotten-once "PRP-HSR OK - 1 board | $(since3) $(losses 3 0)
status 0" "$got"
start_board5

# --- Without the exporter's file: errors between two checks from the
# record's counters, and a reset of them.
without=(--state-dir "$work/state" --textfile '')
check "${without[@]}"
expect errors-first-check "PRP-HSR OK - 2 boards | $(board3) $(look_losses 3) $(board5) $(look_losses 5)$first
status 0" "$got"
set3 3:rxErrA=45 "rxErrA held at 45"
check "${without[@]}"
expect errors-between "PRP-HSR WARNING - board 3 LanA 45 errors since the last check, * err/s | $(rates 3 '*' '*' '*') $(apart 3) $(errors 3 '*') $(look_losses 3) $(since5) $(look_losses 5)
status 1" "$got"
check "${without[@]}"
expect no-errors-between "PRP-HSR OK - 2 boards | $(since3) $(look_losses 3) $(since5) $(look_losses 5)
status 0" "$got"
set3 3:reset "counters reset"
check "${without[@]}"
expect reset-between "PRP-HSR OK - 2 boards | $(board3) $(look_losses 3) $(since5) $(look_losses 5)
board 3: its counters were reset since the last check; only what one look sees is judged
status 0" "$got"

# --- Icinga 2 runs the plugin every 2 s, a notification for each HARD
# state, an event for each change of state; LanA flaps until the service
# is HARD and notified.
mkdir -p "$work"/{cache,data,log,spool,icinga-state,run}
cat >"$work/icinga2.conf" <<CONFIGURATION
include <itl>
const PluginDir = "$bin"
include "$command_file"
object CheckerComponent "checker" { }
object NotificationComponent "notification" { }
object Host "substation" {
  check_command = "dummy"
  enable_active_checks = false
}
object Service "prp-hsr" {
  host_name = "substation"
  check_command = "prp_hsr"
  check_interval = 2s
  retry_interval = 2s
  max_check_attempts = 2
  vars.prp_hsr_textfile = "$file"
  vars.prp_hsr_state_dir = "$work/plugin-state"
  event_command = "log-state"
}
object EventCommand "log-state" {
  command = [ "/bin/sh", "-c", "echo \"\$\$1 \$\$2\" >>'$work/events'", "log-state",
    "\$service.state\$", "\$service.state_type\$" ]
}
object User "operator" { }
object NotificationCommand "log-notification" {
  command = [ "/bin/sh", "-c", "echo \"\$\$1 \$\$2\" >>'$work/notifications'", "log-notification",
    "\$notification.type\$", "\$service.output\$" ]
}
object Notification "prp-hsr-operator" {
  host_name = "substation"
  service_name = "prp-hsr"
  command = "log-notification"
  users = [ "operator" ]
  interval = 0
}
CONFIGURATION
setsid timeout -k 5 120 icinga2 daemon -c "$work/icinga2.conf" -DCacheDir="$work/cache" \
    -DDataDir="$work/data" -DLogDir="$work/log" -DSpoolDir="$work/spool" \
    -DStateDir="$work/icinga-state" -DInitRunDir="$work/run" -DRunAsUser="$(id -un)" \
    -DRunAsGroup="$(id -gn)" >"$work/daemon" 2>&1 </dev/null &
daemon=$!
# The first check: Icinga runs it within seconds of starting.
for _ in $(seq 100); do
    compgen -G "$work/plugin-state/check_prp_hsr/*" >/dev/null && break
    sleep 0.1
done
for _ in $(seq 20); do
    flap
    grep -qE '^(WARNING|CRITICAL) HARD' "$work/events" 2>/dev/null && break
done
expect icinga-hard "* HARD" "$(grep -m1 -E '^(WARNING|CRITICAL) HARD' "$work/events" 2>&1 ||
    cat "$work/events" "$work/daemon")"
until_in "PROBLEM" "$work/notifications"
expect icinga-notified "PROBLEM PRP-HSR * - board 3 LanA *" \
    "$(grep -m1 PROBLEM "$work/notifications" 2>&1)"
stop_daemon

echo "between checks: $passed passed, $failed failed"
[ $failed -eq 0 ]
