#!/usr/bin/env bash
# Starts or stops the private services the tests use: a sound server with a "speaker" sink, a
# microphone that hears 440 Hz and a second line at 1 kHz (the layout of tests/ci.pa), and an
# Xvfb display (VEXA_DISPLAY, or the first free number from :97).
#   source scripts/services.sh start DIR   -> exports PULSE_*, XDG_RUNTIME_DIR and DISPLAY
#   scripts/services.sh stop DIR
#   scripts/services.sh sound-stop DIR / sound-start DIR   the sound server alone (tests that
#                                          take it away and bring it back)
# VEXA_SOUND_SERVER chooses the server: pulseaudio (default) or pipewire (PipeWire with its
# PulseAudio-compatible server and WirePlumber, the stack of current desktops; see
# scripts/pipewire.sh). Either way the program and the tests talk to it through PULSE_SERVER.
set -uo pipefail
action=${1:?start or stop}
dir=${2:?private folder}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

export PULSE_RUNTIME_PATH="$dir/pulse"
export PULSE_STATE_PATH="$dir/pulse/state"
export PULSE_SERVER="unix:$dir/pulse/native"
export PULSE_COOKIE="$dir/pulse/cookie"
export XDG_RUNTIME_DIR="$dir/runtime"

# The server of the last start is remembered, so that a restart brings back the same one.
sound_start() {
  local server=${VEXA_SOUND_SERVER:-$(cat "$dir/sound-server" 2>/dev/null || echo pulseaudio)}
  mkdir -p "$PULSE_STATE_PATH" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR" "$dir/pulse"
  echo "$server" > "$dir/sound-server"
  case "$server" in
    pulseaudio)
      # Already running (a test brings back a server that was never taken away): nothing to do.
      # Off every D-Bus session bus (no display to find one, an address where nothing listens):
      # a server on the display's bus takes org.PulseAudio1, and a later one there ends at once.
      pulseaudio --check 2>/dev/null ||
      env -u DISPLAY DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/pulse/no-bus" pulseaudio -D -n -F "$root/tests/ci.pa" --exit-idle-time=-1 --use-pid-file=yes \
        --log-target="file:$dir/pulse/pa.log" 2>/dev/null || { echo "pulseaudio did not start"; cat "$dir/pulse/pa.log"; }
      ;;
    pipewire)
      bash "$root/scripts/pipewire.sh" start "$dir" || echo "pipewire did not start"
      ;;
    *)
      echo "VEXA_SOUND_SERVER must be pulseaudio or pipewire, not '$server'" >&2
      return 2
      ;;
  esac
  # PulseAudio's sources deliver data about 2 s after it starts: wait for data, not for the socket.
  local _ n
  for _ in $(seq 1 100); do
    n=$( (timeout 0.2 parec --latency-msec=10 2>/dev/null || true) | wc -c)
    [ "${n:-0}" -gt 0 ] && break
    sleep 0.1
  done
}

sound_stop() {
  local server _
  server=$(cat "$dir/sound-server" 2>/dev/null || echo pulseaudio)
  if [ "$server" = pipewire ]; then
    bash "$root/scripts/pipewire.sh" stop "$dir"
  else
    pulseaudio -k 2>/dev/null
    for _ in $(seq 1 50); do pulseaudio --check 2>/dev/null || break; sleep 0.1; done
  fi
}

if [ "$action" = sound-start ]; then
  sound_start
elif [ "$action" = sound-stop ]; then
  sound_stop
elif [ "$action" = start ]; then
  rm -f "$dir/sound-server"
  sound_start || { return 2 2>/dev/null || exit 2; }
  # The first display number nobody holds (a lock file marks a running X server), from :97 up,
  # so that a second run or a user's own session on :97 is never shared.
  display=${VEXA_DISPLAY:-}
  if [ -z "$display" ]; then
    n=97
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    display=":$n"
  fi
  # -noreset: without it Xvfb resets whenever its last client leaves and refuses connections
  # meanwhile, so a test starting a program at that moment fails.
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 &
  echo $! > "$dir/xvfb.pid"
  for _ in $(seq 1 100); do
    kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null || break
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.05
  done
  if ! kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then
    echo "services: Xvfb could not start on $display (see $dir/xvfb.log)" >&2
    return 3 2>/dev/null || exit 3
  fi
  export DISPLAY="$display"
elif [ "$action" = stop ]; then
  sound_stop
  rm -f "$dir/sound-server"
  if [ -f "$dir/xvfb.pid" ]; then kill "$(cat "$dir/xvfb.pid")" 2>/dev/null; rm -f "$dir/xvfb.pid"; fi
fi
