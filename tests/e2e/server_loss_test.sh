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
bin="${VEXA_BINARY_DIR:?}/vexa-recorder"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
[ -n "${PULSE_SERVER:-}" ] || { echo "FAIL: no PULSE_SERVER; run under scripts/test.sh or scripts/services.sh"; exit 1; }
work=$(mktemp -d /tmp/vexa-loss.XXXXXX)
vexa_holder=""
cleanup() {
  [ -n "${vexa_pid:-}" ] && kill -9 "$vexa_pid" 2>/dev/null
  [ -n "$vexa_holder" ] && kill "$vexa_holder" 2>/dev/null
  vexa_sound_start >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
vexa_hold_display
# The program writes each box's text here as well.
export VEXA_MESSAGE_LOG="$work/messages.log"
failures=0
fail() { echo "FAIL [$case]: $*"; failures=$((failures + 1)); }
# wait_boxes N SECONDS: waits for N open boxes.
wait_boxes() {
  local _
  for _ in $(seq 1 $(($2 * 20))); do [ "$(vexa_boxes)" -eq "$1" ] && return 0; sleep 0.05; done
  return 1
}
close_boxes() {
  local _
  for _ in 1 2 3; do [ "$(vexa_boxes)" -gt 0 ] || break; xdotool key Return; sleep 0.4; done
}
# grows FILE: the file's size grows within 2 s.
grows() {
  local before _
  before=$(stat -c %s "$1" 2>/dev/null || echo 0)
  for _ in $(seq 1 40); do
    [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt "$before" ] && return 0
    sleep 0.05
  done
  return 1
}

for entry in "0 wav" "1 mp3" "2 wma"; do
  read -r code ext <<<"$entry"
  case="record-$ext"
  vexa_fresh "$work/$case"
  rec="$work/$case/recordings"
  mkdir -p "$rec"
  vexa_write_settings "Format=$code" "Channels=2" "Frequency=44100" "Dir=$rec/"
  if ! vexa_start "$bin" "$work/$case.out"; then
    fail "no window"
    continue
  fi
  sleep 0.5
  vexa_click $VEXA_RECORD_XY
  first="$rec/Vexa_001.$ext"
  vexa_wait_file "$first" 5 || fail "Record made no file"
  sleep 2
  killed_at=$(vexa_now)
  vexa_sound_stop
  if wait_boxes 1 5; then
    echo "  $case: box $(vexa_since "$killed_at") s after the server went away"
  else
    fail "no box after the server went away ($(vexa_boxes) open)"
  fi
  close_boxes
  sleep 1
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) came back"
  kept=$(vexa_seconds "$first")
  echo "  $case: the file holds $kept s of about 2 s captured"
  vexa_in_range "$kept" 1.5 3.0 || fail "the file holds $kept s, not the 2 s captured"

  vexa_sound_start
  vexa_click $VEXA_RECORD_XY
  second="$rec/Vexa_002.$ext"
  if vexa_wait_file "$second" 5 && grows "$second"; then
    sleep 1
    vexa_click $VEXA_STOP_XY
    sleep 0.5
    again=$(vexa_seconds "$second")
    vexa_in_range "$again" 0.8 3.0 || fail "the recording after the server came back holds $again s"
  else
    fail "Record after the server came back made no growing file"
  fi
  [ "$(vexa_boxes)" -eq 0 ] || fail "a box after the second recording: $(tail -1 "$VEXA_MESSAGE_LOG" 2>/dev/null)"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
done

case=playback
vexa_fresh "$work/$case"
rec="$work/$case/recordings"
mkdir -p "$rec"
sox -n -r 44100 -c 2 -b 16 "$rec/tone.wav" synth 20 sine 440 vol 0.5
vexa_write_settings "Format=0" "Dir=$rec/"
if vexa_start "$bin" "$work/$case.out"; then
  sleep 0.5
  vexa_click $VEXA_PLAY_XY
  sleep 1.5
  vexa_sound_stop
  wait_boxes 1 5 || fail "no box after the server went away during playback ($(vexa_boxes) open)"
  close_boxes
  sleep 1
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) came back"
  vexa_sound_start
  vexa_click $VEXA_PLAY_XY
  sleep 1.5
  [ "$(vexa_boxes)" -eq 0 ] || fail "Play after the server came back showed a box"
  kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
else
  fail "no window"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all server-loss cases passed"
