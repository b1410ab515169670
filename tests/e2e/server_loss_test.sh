#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 400
# The sound server goes away while the real window records (WAV, MP3, WMA) or plays. The window
# finds out at its next display tick: the recording is completed exactly as Stop does (the file
# is valid and holds what was captured until then), a box says so once, and after the server is
# back Record works again without restarting the program. The same for playback: a box, and Play
# works again. The private server is restarted by this test; it is running again at its end.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# The private server runs again when the test ends, however it ends.
vexa_at_exit() { vexa_sound_start >/dev/null 2>&1; }
vexa_begin loss sound
# The program writes each box's text here as well.
export VEXA_MESSAGE_LOG="$work/messages.log"
# wait_boxes N SECONDS: waits for N open boxes.
wait_boxes() { vexa_until "$2" boxes_are "$1"; }
boxes_are() { [ "$(vexa_boxes)" -eq "$1" ]; }
boxes_below() { [ "$(vexa_boxes)" -lt "$1" ]; }
# close_boxes: answers each open box with Return and waits until it has closed.
close_boxes() {
  local _ open
  for _ in 1 2 3; do
    open=$(vexa_boxes)
    [ "$open" -gt 0 ] || break
    xdotool key Return
    vexa_until 10 boxes_below "$open" || break
  done
}
# grows FILE: the file's size grows within 10 s.
grows() {
  local before
  before=$(stat -c %s "$1" 2>/dev/null || echo 0)
  vexa_until 10 larger "$1" "$before"
}
larger() { [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt "$2" ]; }
# server_back: brings the server back; its return is told once, in a box, which is closed.
back_text="The sound server is available again"
back_count() { grep -cF "$back_text" "$VEXA_MESSAGE_LOG" 2>/dev/null || true; }
back_told() { [ "$(back_count)" -gt "$1" ]; }
server_back() {
  local before
  before=$(back_count)
  vexa_sound_start
  vexa_until 20 back_told "${before:-0}" || fail "no box that the server is back"
  close_boxes
}

# The lengths are held against the clock so that a busy machine only widens what is accepted
# (vexa_take_range in lib.sh). The server taken away loses what it still held.
for entry in "0 wav" "1 mp3" "2 wma"; do
  read -r code ext <<<"$entry"
  case="record-$ext"
  vexa_recording_home "Format=$code" "Channels=2" "Frequency=44100"
  if ! vexa_start "$bin" "$work/$case.out"; then
    fail "no window"
    continue
  fi
  vexa_hover record || fail "the record button shows no hover"
  t_record=$(vexa_now)
  vexa_press
  first="$rec/Vexa_001.$ext"
  vexa_wait_file "$first" 10 && vexa_wait_audio "$first" 10 || fail "Record made no file with audio"
  t_audio=$(vexa_now)
  sleep 2
  killed_at=$(vexa_now)
  vexa_sound_stop
  gone_at=$(vexa_now)
  if wait_boxes 1 20; then
    echo "  $case: box $(vexa_since "$killed_at") s after the server went away"
  else
    fail "no box within 20 s after the server went away ($(vexa_boxes) open)"
  fi
  # The box comes once the file is complete, as after Stop.
  vexa_holds "$first" && fail "the file is still open while the box shows"
  close_boxes
  sleep 1
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) came back"
  kept=$(vexa_seconds "$first")
  read -r low high < <(VEXA_TAKE_LOSS=0.5 vexa_take_range "$t_record" "$t_audio" "$killed_at" "$gone_at")
  echo "  $case: the file holds $kept s ($low-$high s expected)"
  vexa_in_range "$kept" "$low" "$high" || fail "the file holds $kept s, not $low-$high s"

  server_back
  vexa_hover record || fail "the record button shows no hover"
  t_record=$(vexa_now)
  vexa_press
  second="$rec/Vexa_002.$ext"
  if vexa_wait_file "$second" 10 && vexa_wait_audio "$second" 10 && grows "$second"; then
    t_audio=$(vexa_now)
    sleep 1
    vexa_hover stop || fail "the stop button shows no hover"
    t_stop=$(vexa_now)
    vexa_press
    vexa_wait_closed "$second" 20 || fail "the second file is still open 20 s after Stop"
    t_done=$(vexa_now)
    again=$(vexa_seconds "$second")
    read -r low high < <(vexa_take_range "$t_record" "$t_audio" "$t_stop" "$t_done")
    echo "  $case: the recording after the server came back holds $again s ($low-$high s expected)"
    vexa_in_range "$again" "$low" "$high" || fail "the recording after the server came back holds $again s, not $low-$high s"
  else
    fail "Record after the server came back made no growing file"
  fi
  [ "$(vexa_boxes)" -eq 0 ] || fail "a box after the second recording: $(tail -1 "$VEXA_MESSAGE_LOG" 2>/dev/null)"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
done

# Playback: the server goes away once the display shows that the file plays, and Play works
# again once the display shows it playing after the server came back.
case=playback
vexa_recording_home "Format=0"
sox -n -r 44100 -c 2 -b 16 "$rec/tone.wav" synth 20 sine 440 vol 0.5
if vexa_start "$bin" "$work/$case.out"; then
  vexa_press_button play
  vexa_wait_symbol playing 10 || fail "the display does not show playback 10 s after Play"
  sleep 0.5
  vexa_sound_stop
  wait_boxes 1 20 || fail "no box within 20 s after the server went away during playback ($(vexa_boxes) open)"
  close_boxes
  sleep 1
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) came back"
  server_back
  vexa_press_button play
  vexa_wait_symbol playing 10 || fail "the display does not show playback 10 s after Play with the server back"
  sleep 1
  [ "$(vexa_boxes)" -eq 0 ] || fail "Play after the server came back showed a box"
  kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
else
  fail "no window"
fi

vexa_finish "all server-loss cases passed"
