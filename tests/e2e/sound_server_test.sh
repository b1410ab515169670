#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# The sound server comes late, restarts, or hangs, under the real window. Started without a
# server, the window comes up (one box says the devices did not start); once the server is up,
# a box says so once, Record and Play work and the recording slider follows the server, with no
# restart of the program. A server restart during a session: the same. A server that is stopped
# (SIGSTOP) when the program starts, or during playback: the window paints and answers (Stop gives
# the playback up), and SIGTERM ends the program within 2 s.
# The private server is stopped and restarted by this test; it runs again at its end.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
stopped_server=""
vexa_at_exit() {
  [ -n "$stopped_server" ] && kill -CONT "$stopped_server" 2>/dev/null
  vexa_sound_start >/dev/null 2>&1
  pactl set-source-volume micsink.monitor 100% 2>/dev/null
}
vexa_begin server sound
export VEXA_MESSAGE_LOG="$work/messages.log"
WAVEIN_Y=154

# logged TEXT: a box with TEXT was shown (the program logs each box's text).
logged() { grep -qF "$1" "$VEXA_MESSAGE_LOG" 2>/dev/null; }
logged_count() { grep -cF "$1" "$VEXA_MESSAGE_LOG" 2>/dev/null || true; }
close_all() { vexa_close_boxes 0 >/dev/null; }
# The recording slider's picture, to see it move.
slider_shot() { vexa_off_window; vexa_shot && convert "$work/shot.png" -crop 100x12+165+148 +repage "$1" 2>/dev/null; }
slider_moved() { slider_shot "$work/now.png" && ! cmp -s "$work/now.png" "$1"; }
back_text="The sound server is available again"

# works: Record makes a take with audio, Play plays it, and the recording slider follows
# pactl's change of the default source's volume.
works() {
  local take=$1
  vexa_press_button record
  if vexa_wait_file "$take" 10 && vexa_wait_audio "$take" 10; then
    sleep 1
    vexa_press_button stop
    vexa_wait_closed "$take" 20 || fail "$(basename "$take") is still open 20 s after Stop"
  else
    fail "Record made no file with audio"
  fi
  close_all
  # The new take is selected in the list: Play plays it.
  vexa_press_button play
  vexa_wait_symbol playing 10 || fail "the display does not show playback 10 s after Play"
  vexa_press_button stop
  slider_shot "$work/before.png"
  pactl set-source-volume micsink.monitor 30%
  vexa_until 10 slider_moved "$work/before.png" || fail "the recording slider did not follow the server"
  pactl set-source-volume micsink.monitor 100%
  [ "$(vexa_boxes)" -eq 0 ] || fail "a box: $(tail -1 "$VEXA_MESSAGE_LOG" 2>/dev/null)"
}

case=late
vexa_recording_home "Format=0" "Channels=2" "Frequency=44100"
vexa_sound_stop
if vexa_start "$bin" "$work/$case.out"; then
  vexa_until 20 logged "Can not start default recording device" || fail "no box about the devices without a server"
  close_all
  vexa_sound_start
  vexa_until 20 logged "$back_text" || fail "no box that the server is back"
  close_all
  works "$rec/Vexa_001.wav"
  [ "$(logged_count "$back_text")" -eq 1 ] || fail "the server's return was told $(logged_count "$back_text") times"

  case=restart
  vexa_sound_stop
  vexa_sound_start
  vexa_until 20 eval '[ "$(logged_count "$back_text")" -eq 2 ]' || fail "no box that the server is back after its restart"
  close_all
  works "$rec/Vexa_002.wav"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
else
  fail "no window without a server"
fi

# ends_in_time: SIGTERM ends the program within 2 s, measured from the signal to its end (a
# busy machine may take long to start it, but the end is the program's own deadline). The wait
# is the shell's own for its child, with a guard that kills it after 8 s.
ends_in_time() {
  local sent took guard
  kill -0 "$vexa_pid" 2>/dev/null || { fail "the program ended by itself"; return; }
  (sleep 8; kill -9 "$vexa_pid" 2>/dev/null) &
  guard=$!
  sent=$(vexa_now)
  kill -TERM "$vexa_pid"
  wait "$vexa_pid" 2>/dev/null
  took=$(vexa_since "$sent")
  kill "$guard" 2>/dev/null
  vexa_pid=""
  echo "  $case: ended $took s after SIGTERM"
  awk -v t="$took" 'BEGIN {exit !(t <= 2.0)}' || fail "ended $took s after SIGTERM, not within 2 s"
}
# The process that answers the PulseAudio protocol: PulseAudio itself, or PipeWire's pipewire-pulse.
server_pid() {
  cat "$PULSE_RUNTIME_PATH/pid" 2>/dev/null ||
    awk '{print $1}' "$(dirname "$PULSE_RUNTIME_PATH")/pipewire-pids/pipewire-pulse" 2>/dev/null
}

# The server stopped before the program starts: the window paints and SIGTERM ends it.
case=hung
vexa_recording_home "Format=0"
stopped_server=$(server_pid)
if [ -n "$stopped_server" ] && kill -STOP "$stopped_server"; then
  if vexa_start "$bin" "$work/$case.out"; then
    sleep 1
    ends_in_time
  else
    fail "no window with the server stopped"
  fi
  kill -CONT "$stopped_server"
  stopped_server=""
else
  fail "no server process to stop"
fi

# The server stopped during playback: Stop gives the playback up within a few seconds, and
# SIGTERM ends the program.
case=hung-playing
vexa_recording_home "Format=0"
sox -n -r 44100 -c 2 -b 16 "$rec/tone.wav" synth 20 sine 440 vol 0.5
if vexa_start "$bin" "$work/$case.out"; then
  vexa_press_button play
  vexa_wait_symbol playing 10 || fail "the display does not show playback 10 s after Play"
  stopped_server=$(server_pid)
  kill -STOP "$stopped_server"
  vexa_press_button stop
  vexa_until 10 eval '! vexa_symbol_is playing' || fail "still playing 10 s after Stop with the server stopped"
  ends_in_time
  kill -CONT "$stopped_server"
  stopped_server=""
else
  fail "no window"
fi

vexa_finish "all sound server cases passed"
