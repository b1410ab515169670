#!/usr/bin/env bash
# ctest-label: audio
# ctest-timeout: 120
# The private sound servers of scripts/services.sh, each in a folder of its own (beside the one
# the other tests use): a start while the server runs changes nothing (no second session
# manager, no second pair of tones, and stop still ends everything); a PipeWire set with a dead
# daemon is started afresh; stop leaves no process of the folder behind.
set -uo pipefail
src=${VEXA_SOURCE_DIR:?}
services="$src/scripts/services.sh"
work=$(mktemp -d /tmp/vexa-services.XXXXXX)
current=""
cleanup() {
  [ -n "$current" ] && bash "$services" sound-stop "$current" >/dev/null 2>&1
  # Whatever a failed stop left of the servers this test started.
  local p
  for p in /proc/[0-9]*; do
    { tr '\0' '\n' < "$p/environ"; } 2>/dev/null | grep -q "^PULSE_SERVER=unix:$work/" && kill "${p#/proc/}" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL [$case]: $*"; failures=$((failures + 1)); }

# on DIR CMD...: runs a client against the server of DIR.
on() {
  local dir=$1; shift
  env PULSE_SERVER="unix:$dir/pulse/native" PULSE_RUNTIME_PATH="$dir/pulse" \
      PULSE_COOKIE="$dir/pulse/cookie" XDG_RUNTIME_DIR="$dir/runtime" "$@"
}
# processes DIR: the programs (one a line, sorted) of every live process started for DIR's server.
# Zombies have no environment left and are not counted.
processes() {
  local p
  for p in /proc/[0-9]*; do
    { tr '\0' '\n' < "$p/environ"; } 2>/dev/null | grep -qx "PULSE_SERVER=unix:$1/pulse/native" || continue
    case "$(ps -o stat= -p "${p#/proc/}" 2>/dev/null)" in ''|Z*) continue ;; esac
    ps -o comm= -p "${p#/proc/}" 2>/dev/null
  done | grep -vx -e pactl -e timeout -e parec | sort
}
count() { processes "$1" | grep -cx "$2"; }
# state DIR: what a client sees: the defaults, the sinks and what plays into each of them.
state() {
  on "$1" pactl get-default-sink
  on "$1" pactl get-default-source
  on "$1" pactl list short sinks | awk '{print $2}'
  # Sink inputs by the name of their sink (a restart numbers the sinks anew).
  awk 'NR == FNR {name[$1] = $2; next} {print name[$2]}' \
      <(on "$1" pactl list short sinks) <(on "$1" pactl list short sink-inputs) | sort | uniq -c
}

# server    daemons that must run exactly once each
for entry in "pulseaudio pulseaudio" "pipewire pipewire wireplumber pipewire-pulse"; do
  read -r server daemons <<<"$entry"
  case="$server"
  dir="$work/$server"
  current=$dir
  # Every start of this case asks for this server (the pass against PipeWire sets it for all).
  export VEXA_SOUND_SERVER=$server
  bash "$services" sound-start "$dir" >/dev/null 2>&1
  if ! on "$dir" pactl info >/dev/null 2>&1; then
    fail "the server did not start"
    continue
  fi
  before=$(processes "$dir")
  seen=$(state "$dir")
  [ "$(on "$dir" pactl get-default-sink)" = speaker ] || fail "default sink $(on "$dir" pactl get-default-sink)"
  for d in $daemons; do
    [ "$(count "$dir" "$d")" -eq 1 ] || fail "$(count "$dir" "$d") processes $d after the first start"
  done

  # A start while it runs, as a test that brings back a server does when it was never taken away.
  bash "$services" sound-start "$dir" >/dev/null 2>&1
  after=$(processes "$dir")
  [ "$after" = "$before" ] || fail "a second start changed the processes: $(echo $before) -> $(echo $after)"
  [ "$(state "$dir")" = "$seen" ] || fail "a second start changed what clients see: $(echo $seen) -> $(echo "$(state "$dir")")"

  if [ "$server" = pipewire ]; then
    case="pipewire, WirePlumber gone"
    read -r wp _ < "$dir/pipewire-pids/wireplumber"
    kill "$wp"
    for _ in $(seq 1 300); do case "$(ps -o stat= -p "$wp" 2>/dev/null)" in ''|Z*) break ;; esac; sleep 0.01; done
    bash "$services" sound-start "$dir" >/dev/null 2>&1
    for d in $daemons; do
      [ "$(count "$dir" "$d")" -eq 1 ] || fail "$(count "$dir" "$d") processes $d after the start"
    done
    [ "$(processes "$dir")" = "$before" ] || fail "not the set of a first start: $(echo "$(processes "$dir")")"
    [ "$(state "$dir")" = "$seen" ] || fail "not what a first start shows: $(echo "$(state "$dir")")"
    case="$server"
  fi

  bash "$services" sound-stop "$dir" >/dev/null 2>&1
  current=""
  left=$(processes "$dir")
  [ -z "$left" ] || fail "left running after stop: $(echo $left)"
  ! on "$dir" pactl info >/dev/null 2>&1 || fail "the server still answers after stop"
done

echo "failures: $failures"
[ "$failures" -eq 0 ]
