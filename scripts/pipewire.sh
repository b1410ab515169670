#!/usr/bin/env bash
# A private, headless PipeWire for the tests: pipewire, wireplumber and pipewire-pulse (the
# PulseAudio-compatible server), no systemd, no session bus, laid out like tests/ci.pa:
#   speaker  null sink, the default sink (captured back from speaker.monitor)
#   micsink  null sink that hears a 440 Hz tone; micsink.monitor is the default source
#   tonesink null sink that hears a 1 kHz tone (a second recording line, "Monitor of ToneSink")
#   silence  a silent source
#   bash scripts/pipewire.sh start DIR   (PULSE_RUNTIME_PATH=DIR/pulse, XDG_RUNTIME_DIR=DIR/runtime)
#   bash scripts/pipewire.sh stop DIR
# Normally started through scripts/services.sh with VEXA_SOUND_SERVER=pipewire.
set -uo pipefail
action=${1:?start or stop}
dir=$(mkdir -p "${2:?private folder}" && cd "$2" && pwd)
conf=$dir/pipewire-config
pids=$dir/pipewire-pids

# Each process of a start is recorded as "PID COMMAND" in $pids/NAME.
names="pipewire wireplumber pipewire-pulse tone tone1k"
# running NAME: the process recorded as NAME still runs the program it was recorded for.
running() {
  local f=$pids/$1 p comm
  [ -f "$f" ] && read -r p comm < "$f" || return 1
  [ "$(ps -o comm= -p "$p" 2>/dev/null)" = "$comm" ] || return 1
  case "$(ps -o stat= -p "$p" 2>/dev/null)" in ''|Z*) return 1 ;; esac
}

# Ends each process recorded at start, newest first: SIGTERM, then SIGKILL after 3 s. A PID is
# only signalled while it still runs the program it was recorded for.
stop_all() {
  [ -d "$pids" ] || return 0
  local name f p i
  for name in $(echo "$names" | tr ' ' '\n' | tac); do
    f=$pids/$name; [ -f "$f" ] || continue
    read -r p comm < "$f"; rm -f "$f"
    [ "$(ps -o comm= -p "$p" 2>/dev/null)" = "$comm" ] || continue
    case "$name" in tone*) kill -- "-$p" 2>/dev/null ;; *) kill "$p" 2>/dev/null ;; esac
    for i in $(seq 1 300); do
      case "$(ps -o stat= -p "$p" 2>/dev/null)" in ''|Z*) break ;; esac
      sleep 0.01
    done
    case "$(ps -o stat= -p "$p" 2>/dev/null)" in ''|Z*) ;; *) kill -9 "$p" 2>/dev/null ;; esac
  done
}

if [ "$action" = stop ]; then
  stop_all
  rm -rf "$pids" "$conf"
  exit 0
fi
[ "$action" = start ] || { echo "start or stop" >&2; exit 2; }

# A start while the stack runs (a test bringing back a server that was never taken away) must not
# launch a second set: the second pipewire and pipewire-pulse find their sockets taken and quit,
# but a second WirePlumber would manage the same graph beside the first (moving streams, fighting
# over defaults), a second pair of tones would play, and the records of the running set would be
# overwritten so that stop could no longer end it. PulseAudio refuses a second daemon the same way.
all=1 some=0
for name in $names; do
  if running "$name"; then some=1; else all=0; fi
done
if [ "$all" = 1 ]; then
  echo "pipewire: already running in $dir"
  exit 0
fi
# Part of a set (a daemon died): end the rest and start afresh.
[ "$some" = 1 ] && stop_all

export XDG_RUNTIME_DIR=$dir/runtime PIPEWIRE_RUNTIME_DIR=$dir/runtime
export PULSE_RUNTIME_PATH=$dir/pulse PULSE_SERVER=unix:$dir/pulse/native
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$PULSE_RUNTIME_PATH"
mkdir -p "$pids" "$dir/pipewire-state" "$conf/pipewire/pipewire.conf.d" \
         "$conf/pipewire/pipewire-pulse.conf.d" "$conf/wireplumber/main.lua.d" \
         "$conf/wireplumber/bluetooth.lua.d"

# One clock at 44100 Hz, as the PulseAudio test server runs.
cat > "$conf/pipewire/pipewire.conf.d/vexa-tests.conf" <<'CONF'
context.properties = { default.clock.rate = 44100  default.clock.allowed-rates = [ 44100 ] }
CONF
# PipeWire's PulseAudio server has no module-sine, module-null-source nor module-loopback of
# the same kind: a null sink of class Audio/Source/Virtual is a silent source, and the tone is a
# client playing into micsink (below).
cat > "$conf/pipewire/pipewire-pulse.conf.d/vexa-tests.conf" <<'CONF'
pulse.cmd = [
  { cmd = "load-module" args = "module-null-sink sink_name=speaker rate=44100 channels=2 sink_properties=device.description=Speaker" }
  { cmd = "load-module" args = "module-null-sink sink_name=micsink rate=44100 channels=2 sink_properties=device.description=MicSink" }
  { cmd = "load-module" args = "module-null-sink sink_name=tonesink rate=44100 channels=2 sink_properties=device.description=ToneSink" }
  { cmd = "load-module" args = "module-null-sink sink_name=silence media.class=Audio/Source/Virtual rate=44100 channels=2 sink_properties=device.description=Silence" }
]
CONF
# Without a session bus WirePlumber gives up unless its hardware monitors and the flatpak
# portal are off; nothing is restored from an earlier run.
cat > "$conf/wireplumber/main.lua.d/51-vexa-tests.lua" <<'CONF'
alsa_monitor.enabled = false
v4l2_monitor.enabled = false
libcamera_monitor.enabled = false
default_access.properties["enable-flatpak-portal"] = false
stream_defaults.properties["restore-props"] = false
stream_defaults.properties["restore-target"] = false
device_defaults.properties["use-persistent-storage"] = false
CONF
echo 'bluez_monitor.enabled = false' > "$conf/wireplumber/bluetooth.lua.d/51-vexa-tests.lua"

# Each daemon in a session of its own, without DISPLAY (D-Bus would try an X11 autolaunch) and
# with a bus address where nothing listens.
launch() {
  local name=$1; shift
  env -u DISPLAY XDG_CONFIG_HOME="$conf" XDG_STATE_HOME="$dir/pipewire-state" \
      DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/no-bus" \
      setsid "$@" > "$dir/$name.log" 2>&1 < /dev/null &
  echo "$! $name" > "$pids/$name"
}
wait_for() { # tries a command every 10 ms, up to N times
  local n=$1 i; shift
  for i in $(seq 1 "$n"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.01; done
  return 1
}
sink_ready() { pactl list short sinks | grep -qw micsink && pactl list short sinks | grep -qw tonesink; }

launch pipewire pipewire
wait_for 500 test -S "$XDG_RUNTIME_DIR/pipewire-0" || { echo "pipewire: no socket"; cat "$dir/pipewire.log"; exit 1; }
launch wireplumber wireplumber
launch pipewire-pulse pipewire-pulse
wait_for 1000 sink_ready || { echo "pipewire-pulse: no test sinks"; cat "$dir/pipewire-pulse.log"; exit 1; }
# The sinks may belong to a server that was not ours: each daemon of this start must still run.
for name in pipewire wireplumber pipewire-pulse; do
  running "$name" || { echo "$name quit"; cat "$dir/$name.log"; stop_all; exit 1; }
done

# The microphone's tone: 440 Hz at half scale, played into micsink by a client.
setsid bash -c 'sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed - synth sine 440 vol 0.5 |
  pacat -d micsink --rate=44100 --channels=2 --format=s16le --latency-msec=40' \
  > "$dir/tone.log" 2>&1 < /dev/null &
echo "$! bash" > "$pids/tone"
# The second line's tone: 1 kHz.
setsid bash -c 'sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed - synth sine 1000 vol 0.5 |
  pacat -d tonesink --rate=44100 --channels=2 --format=s16le --latency-msec=40' \
  > "$dir/tone1k.log" 2>&1 < /dev/null &
echo "$! bash" > "$pids/tone1k"

# WirePlumber confirms a new default before it applies it, and now and then never applies it:
# set both defaults until they read back.
defaults_set() {
  pactl set-default-sink speaker && pactl set-default-source micsink.monitor &&
    sleep 0.05 &&
    [ "$(pactl get-default-sink)" = speaker ] && [ "$(pactl get-default-source)" = micsink.monitor ]
}
wait_for 100 defaults_set || echo "pipewire: the default sink and source did not take"
