# Shared by the scripts that drive the real program through its window (tests/e2e/*_test.sh,
# bench/window_*.sh). Source it; it defines functions only.
#
#   vexa_fresh DIR              a private home in DIR: HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR,
#                               TMPDIR; sets $vexa_settings (the settings file's path)
#   vexa_write_settings K=V ... writes the settings file: section [General] with these values
#   vexa_start PROGRAM LOG      starts it, waits for its visible window; sets $vexa_pid and
#                               $vexa_window; returns 1 when no window shows within 10 s
#   vexa_click X Y              clicks at X,Y inside the window (client coordinates)
#   vexa_point X Y              moves the mouse there and lets it rest (controls poll the cursor)
#   vexa_press                  clicks where the mouse rests
#   vexa_end SIGNAL             sends the signal and waits up to 10 s for the end; sets
#                               $vexa_rc (the exit code, or "hung" after a kill -9)
#   vexa_wait_end               the same without a signal
#   vexa_wait_file PATH SECONDS returns 0 as soon as PATH exists
#   vexa_hold_display           keeps one client connected to $DISPLAY (sets $vexa_holder; kill
#                               it at the end)
#   vexa_in_range V LO HI       V is a number within LO..HI
#   vexa_boxes                  how many boxes (windows other than the main one) are open
#   vexa_seconds FILE           what FFmpeg decodes of FILE, in seconds ("none" if unreadable)
#   vexa_sound_stop             takes the private sound server away
#   vexa_sound_start            brings it back and waits until its sources deliver
#
# The round controls of the transport, client coordinates of their centres.
VEXA_RECORD_XY="22 141"
VEXA_PLAY_XY="54 141"
VEXA_STOP_XY="83 141"
# The window's Close button in the title row.
VEXA_CLOSE_XY="254 14"

# Xvfb resets itself whenever its last client leaves and refuses connections meanwhile, so a
# program started just after another one ended may fail with "could not connect to display".
vexa_hold_display() {
  xprop -root -spy >/dev/null 2>&1 &
  vexa_holder=$!
  local _
  for _ in $(seq 1 50); do
    xprop -root _NET_SUPPORTED >/dev/null 2>&1 && break
    sleep 0.05
  done
  sleep 0.2
}

vexa_fresh() {
  export HOME="$1/home" XDG_CONFIG_HOME="$1/home/.config"
  export XDG_RUNTIME_DIR="$1/run" TMPDIR="$1/tmp" LANG=C
  unset LC_ALL XDG_DOCUMENTS_DIR QT_QPA_PLATFORM
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  vexa_settings="$XDG_CONFIG_HOME/Quandrel/VexaRecorder.ini"
}

vexa_write_settings() {
  mkdir -p "$(dirname "$vexa_settings")"
  { echo "[General]"; printf '%s\n' "$@"; } >"$vexa_settings"
}

vexa_start() {
  "$1" >"$2" 2>&1 &
  vexa_pid=$!
  vexa_window=""
  local _
  for _ in $(seq 1 200); do
    vexa_window=$(xdotool search --onlyvisible --pid "$vexa_pid" --name '^Vexa Recorder$' 2>/dev/null | head -1)
    [ -n "$vexa_window" ] && return 0
    kill -0 "$vexa_pid" 2>/dev/null || break
    sleep 0.05
  done
  return 1
}

# A control that polls the cursor every 100 ms sees the mouse only after it has rested there.
vexa_point() {
  xdotool mousemove --window "$vexa_window" "$1" "$2"
  sleep 0.3
}

vexa_press() {
  xdotool click 1
}

vexa_click() {
  vexa_point "$1" "$2"
  vexa_press
}

vexa_end() {
  kill "-$1" "$vexa_pid" 2>/dev/null
  vexa_wait_end
}

vexa_wait_end() {
  local _
  for _ in $(seq 1 200); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$vexa_pid" 2>/dev/null; then
    kill -9 "$vexa_pid" 2>/dev/null
    wait "$vexa_pid" 2>/dev/null
    vexa_rc=hung
  else
    wait "$vexa_pid"
    vexa_rc=$?
  fi
  vexa_pid=""
}

vexa_wait_file() {
  local _
  for _ in $(seq 1 $(($2 * 50))); do
    [ -e "$1" ] && return 0
    sleep 0.02
  done
  return 1
}

# Seconds since the epoch with microseconds, and the difference of two such times.
vexa_now() { date +%s.%6N; }
vexa_since() { awk -v a="$1" -v b="$(vexa_now)" 'BEGIN {printf "%.3f", b - a}'; }

# The private sound server of scripts/services.sh lives in the folder above $PULSE_RUNTIME_PATH.
vexa_sound_stop() { "${VEXA_SOURCE_DIR:?}/scripts/services.sh" sound-stop "$(dirname "$PULSE_RUNTIME_PATH")"; }
vexa_sound_start() { "${VEXA_SOURCE_DIR:?}/scripts/services.sh" sound-start "$(dirname "$PULSE_RUNTIME_PATH")"; }

vexa_in_range() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN {exit !(v == v + 0 && v >= lo && v <= hi)}'; }
vexa_boxes() { xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -vx "$vexa_window" | wc -l; }
vexa_seconds() {
  local rate channels bytes
  read -r rate channels < <(ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels \
                             -of csv=p=0 "$1" 2>/dev/null | tr ',' ' ')
  [ -n "${rate:-}" ] && [ -n "${channels:-}" ] || { echo none; return; }
  bytes=$(ffmpeg -v error -nostdin -i "$1" -map 0:a:0 -f s16le -acodec pcm_s16le - 2>/dev/null | wc -c)
  awk -v b="$bytes" -v r="$rate" -v c="$channels" 'BEGIN {printf "%.2f", b / (2 * r * c)}'
}
