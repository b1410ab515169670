#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# Recordings of the real window that are cut short from outside keep their audio:
# - kill -9 during a WMA recording leaves a file that FFmpeg decodes to within a second of what
#   was captured;
# - the recordings folder removed during a WAV, MP3 or WMA recording: the window says once where
#   the recording goes on, and after Stop the file in the re-made folder holds the whole take.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
vexa_begin cut sound

# The program writes each box's text here as well.
export VEXA_MESSAGE_LOG="$work/messages.log"
# The lengths are held against the clock so that a busy machine only widens what is accepted
# (vexa_take_range in lib.sh): Record is pressed once its button shows that it sees the mouse,
# and the times are taken just before each press or kill and just after each end was seen.
# press_record FILE: sets $t_record and $t_audio; returns 1 when FILE gets no audio.
press_record() {
  vexa_hover record || fail "the Record button shows no hover"
  t_record=$(vexa_now)
  vexa_press
  vexa_wait_file "$1" 10 && vexa_wait_audio "$1" 10 || { fail "Record made no file with audio"; return 1; }
  t_audio=$(vexa_now)
}
# answer_boxes: answers each open box with Return and waits until it has closed.
answer_boxes() {
  local _ open
  for _ in 1 2 3 4; do
    open=$(vexa_boxes)
    [ "$open" -gt 0 ] || return 0
    xdotool key Return
    vexa_until 10 boxes_below "$open" || break
  done
  [ "$(vexa_boxes)" -eq 0 ]
}
boxes_below() { [ "$(vexa_boxes)" -lt "$1" ]; }
boxes_open() { [ "$(vexa_boxes)" -gt 0 ]; }

# --- kill -9 during a WMA recording ---------------------------------------------------------
# The kill loses what the writer and the server still held (the encoder's pending chunk and a
# packet: up to about a second).
case=kill-wma
vexa_recording_home "Format=2" "Channels=2" "Frequency=44100"
if vexa_start "$bin" "$work/$case.out"; then
  if press_record "$rec/Vexa_001.wma"; then
    sleep 6
    t_kill=$(vexa_now)
    kill -9 "$vexa_pid"
    wait "$vexa_pid" 2>/dev/null
    vexa_pid=""
    t_done=$(vexa_now)
    kept=$(vexa_seconds "$rec/Vexa_001.wma")
    read -r low high < <(VEXA_TAKE_LOSS=1.0 vexa_take_range "$t_record" "$t_audio" "$t_kill" "$t_done")
    echo "  $case: FFmpeg decodes $kept s ($low-$high s expected)"
    vexa_in_range "$kept" "$low" "$high" || fail "the killed WMA recording decodes to $kept s, not $low-$high s"
  fi
else
  fail "no window"
fi

# --- the recordings folder removed while recording ------------------------------------------
# Making the folder and the file again may cost some of the audio that was arriving meanwhile.
for entry in "0 wav" "1 mp3" "2 wma"; do
  read -r code ext <<<"$entry"
  case="folder-removed-$ext"
  vexa_recording_home "Format=$code" "Channels=2" "Frequency=44100"
  : >"$VEXA_MESSAGE_LOG"
  if ! vexa_start "$bin" "$work/$case.out"; then
    fail "no window"
    continue
  fi
  file="$rec/Vexa_001.$ext"
  if ! press_record "$file"; then
    vexa_end TERM
    continue
  fi
  sleep 2
  rm -rf "$rec"
  # The window notices within about a second of audio and says where the recording goes on.
  t_removed=$(vexa_now)
  vexa_until 20 boxes_open || fail "no box within 20 s after the folder was removed"
  echo "  $case: a box $(vexa_since "$t_removed") s after the folder was removed"
  [ "$(vexa_boxes)" -eq 1 ] || fail "$(vexa_boxes) box(es) after the folder was removed, not one"
  [ -e "$file" ] || fail "the recording was not made again in its folder"
  sleep 2
  answer_boxes || fail "$(vexa_boxes) box(es) still open after Return"
  vexa_hover stop || fail "the Stop button shows no hover"
  t_stop=$(vexa_now)
  vexa_press
  vexa_wait_closed "$file" 20 || fail "the file is still open 20 s after Stop"
  t_done=$(vexa_now)
  sleep 0.5
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) after Stop; said: $(tr '\n' '|' <"$VEXA_MESSAGE_LOG")"
  said=$(grep -c "removed during the recording" "$VEXA_MESSAGE_LOG")
  [ "$said" -eq 1 ] || fail "the window said $said times that the folder was made again: $(tr '\n' '|' <"$VEXA_MESSAGE_LOG")"
  kept=$(vexa_seconds "$file")
  read -r low high < <(VEXA_TAKE_LOSS=1.2 vexa_take_range "$t_record" "$t_audio" "$t_stop" "$t_done")
  echo "  $case: the file holds $kept s ($low-$high s expected)"
  vexa_in_range "$kept" "$low" "$high" || fail "the file holds $kept s, not $low-$high s"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
done

vexa_finish "all interrupted-recording cases passed"
