#!/usr/bin/env bash
# Starts or stops the private services the tests use: a PulseAudio server with a "speaker" sink,
# a microphone that hears 440 Hz and a second line at 1 kHz (tests/ci.pa), and an Xvfb display.
#   source scripts/services.sh start DIR   -> exports PULSE_* and DISPLAY for this shell
#   scripts/services.sh stop DIR
#   scripts/services.sh sound-stop DIR / sound-start DIR   the sound server alone
set -uo pipefail
action=${1:?start or stop}
dir=${2:?private folder}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

export PULSE_RUNTIME_PATH="$dir/pulse"
export PULSE_STATE_PATH="$dir/pulse/state"
export PULSE_SERVER="unix:$dir/pulse/native"
export PULSE_COOKIE="$dir/pulse/cookie"
export XDG_RUNTIME_DIR="$dir/runtime"

sound_start() {
  mkdir -p "$PULSE_STATE_PATH"
  chmod 700 "$dir/pulse"
  pulseaudio -D -n -F "$root/tests/ci.pa" --exit-idle-time=-1 --use-pid-file=yes \
    --log-target="file:$dir/pulse/pa.log" 2>/dev/null || { echo "pulseaudio did not start"; cat "$dir/pulse/pa.log"; }
  # Sources deliver data about 2 s after the server starts: wait for data, not for the socket.
  for _ in $(seq 1 100); do
    n=$( (timeout 0.2 parec --latency-msec=10 2>/dev/null || true) | wc -c)
    [ "${n:-0}" -gt 0 ] && break
    sleep 0.1
  done
}

sound_stop() {
  pulseaudio -k 2>/dev/null
  for _ in $(seq 1 50); do pulseaudio --check 2>/dev/null || break; sleep 0.1; done
}

# Tests that take the sound server away and bring it back use these two alone.
if [ "$action" = sound-start ]; then
  sound_start
elif [ "$action" = sound-stop ]; then
  sound_stop
elif [ "$action" = start ]; then
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  sound_start
  display=${VEXA_DISPLAY:-:97}
  # -noreset: without it Xvfb resets whenever its last client leaves and refuses connections
  # meanwhile, so a test starting a program at that moment fails.
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 &
  echo $! > "$dir/xvfb.pid"
  for _ in $(seq 1 100); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.05
  done
  export DISPLAY="$display"
elif [ "$action" = stop ]; then
  sound_stop
  if [ -f "$dir/xvfb.pid" ]; then kill "$(cat "$dir/xvfb.pid")" 2>/dev/null; rm -f "$dir/xvfb.pid"; fi
fi
