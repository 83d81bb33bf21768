#!/usr/bin/env bash
# The CheckCommand shipped for Icinga 2 as Icinga 2 itself takes it:
# `icinga2 daemon -C` accepts it, with Icinga's own PluginDir, used by a
# service that sets every variable it has and by one that sets none; the
# same command defined twice is refused, as a second copy of the file would
# stop Icinga; and Icinga, running both services, gives the plugin the
# arguments the variables stand for, and none for those not set.  Icinga
# runs with folders of the test's own, as the user running the test.
# Usage: icinga.sh CHECK_COMMAND_FILE
set -u
command_file=$(realpath "$1")
work=$(mktemp -d)
daemon=
# Icinga and the helper it forks, in a process group of their own: ended
# and waited for, whatever happens.
stop_daemon() {
    [ -n "$daemon" ] || return
    kill -- -"$daemon" 2>/dev/null
    for _ in $(seq 100); do pgrep -g "$daemon" >/dev/null || break; sleep 0.1; done
    kill -KILL -- -"$daemon" 2>/dev/null # what did not end in 10 s
    wait "$daemon" 2>/dev/null
    daemon=
}
trap 'stop_daemon; rm -rf "$work"' EXIT
passed=0 failed=0

expect() {
    if [ "$3" = "$2" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED %s:\n--- want\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    fi
}

mkdir -p "$work"/{cache,data,log,spool,state,run,plugins}
icinga=(-DCacheDir="$work/cache" -DDataDir="$work/data" -DLogDir="$work/log"
    -DSpoolDir="$work/spool" -DStateDir="$work/state" -DInitRunDir="$work/run"
    -DRunAsUser="$(id -un)" -DRunAsGroup="$(id -gn)")
# A plugin in PluginDir that says what it was given, one run a line.
cat >"$work/plugins/check_prp_hsr" <<PLUGIN
#!/bin/sh
echo "\$*" >>"$work/arguments"
echo "PRP-HSR OK - 1 board"
PLUGIN
chmod +x "$work/plugins/check_prp_hsr"

# configuration FILE...: Icinga's templates, PluginDir as constants.conf
# has it, the files, and two services of a host.
configuration() {
    echo 'include <itl>'
    echo "const PluginDir = \"$work/plugins\""
    for file in "$@"; do echo "include \"$file\""; done
    cat <<'SERVICES'
object CheckerComponent "checker" { }
object Host "substation" {
  check_command = "dummy"
  enable_active_checks = false
}
object Service "prp-hsr-every-variable" {
  host_name = "substation"
  check_command = "prp_hsr"
  check_interval = 1s
  vars.prp_hsr_warning = "10"
  vars.prp_hsr_critical = "@30:40"
  vars.prp_hsr_errors_warning = "2"
  vars.prp_hsr_errors_critical = "5"
  vars.prp_hsr_lan_speed = [ "10G", "3=100M" ]
  vars.prp_hsr_timeout = 20
  vars.prp_hsr_losses_warning = "1"
  vars.prp_hsr_losses_critical = "4"
  vars.prp_hsr_textfile = "/run/prp-hsr-exporter/prp-hsr.prom"
  vars.prp_hsr_state_dir = "/var/lib/prp-hsr"
  vars.prp_hsr_no_state = true
  vars.prp_hsr_forget = 3600
  vars.prp_hsr_names = "/etc/prp-hsr/boards"
  vars.prp_hsr_boards = [ 3, -4 ]
}
object Service "prp-hsr-defaults" {
  host_name = "substation"
  check_command = "prp_hsr"
  check_interval = 1s
}
SERVICES
}

configuration "$command_file" >"$work/icinga2.conf"
# Each run of Icinga's has a minute at most, however loaded the machine.
icinga2() { timeout -k 5 60 icinga2 "$@" </dev/null; }

icinga2 daemon -C -c "$work/icinga2.conf" "${icinga[@]}" >"$work/validation" 2>&1
expect validates "status 0" "status $?$(grep -E 'critical/' "$work/validation")"

configuration "$command_file" "$command_file" >"$work/twice.conf"
icinga2 daemon -C -c "$work/twice.conf" "${icinga[@]}" >"$work/validation" 2>&1
expect defined-twice-refused "status 1, re-defined" \
    "status $?$(grep -q "'prp_hsr' of type 'CheckCommand' re-defined" "$work/validation" && echo ', re-defined')"

# Icinga runs both services within seconds of starting.
setsid $(command -v icinga2) daemon -c "$work/icinga2.conf" "${icinga[@]}" >"$work/daemon" 2>&1 </dev/null &
daemon=$!
for _ in $(seq 600); do
    [ "$(sort -u "$work/arguments" 2>/dev/null | wc -l)" -ge 2 ] && break
    sleep 0.1
done
stop_daemon
expect arguments $'\n--forget 3600 --losses-critical 4 --losses-warning 1 --names /etc/prp-hsr/boards --no-state --state-dir /var/lib/prp-hsr --textfile /run/prp-hsr-exporter/prp-hsr.prom -C 5 -W 2 -c @30:40 -s 10G -s 3=100M -t 20 -w 10 3 -4' \
    "$(sort -u "$work/arguments" 2>&1)"

echo "icinga: $passed passed, $failed failed"
[ $failed -eq 0 ]
