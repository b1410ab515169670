#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# The recording line of the real window, on the private sound server (PulseAudio or PipeWire's):
# - The line goes away 3 s into a take (a USB microphone unplugged; here the sink whose monitor is
#   recorded is unloaded): the take ends as Stop ends it, at once, without being moved to another
#   line (the file stops growing and decodes to about the 3 s recorded), the window is idle, and
#   one box names the line and the file. Once the line is back, the sound source dialog offers it
#   again and Record records it.
# - A line that gives digital silence brings a note within a few seconds while the take goes on,
#   a muted line one note at Record that says so; the 440 Hz line none.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

# The line that goes away: a null sink "UsbMic" (its monitor is the line) that hears 440 Hz from a
# client playing into it (PipeWire's server has no module-sine).
tone=""
stop_tone() { [ -n "$tone" ] && kill -- "-$tone" 2>/dev/null; tone=""; }
unload_line() {
  local m
  for m in $(pactl list short modules | awk '/sink_name=usbmic/ {print $1}'); do pactl unload-module "$m"; done
}
line_listed() { pactl list short sources | awk '{print $2}' | grep -qx usbmic.monitor; }
load_line() {
  pactl load-module module-null-sink sink_name=usbmic rate=44100 channels=2 \
    sink_properties=device.description=UsbMic >/dev/null || fail "the line could not be loaded"
  setsid bash -c 'sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed - synth sine 440 vol 0.5 |
    pacat -d usbmic --rate=44100 --channels=2 --format=s16le --latency-msec=40' >/dev/null 2>&1 </dev/null &
  tone=$!
  vexa_until 10 line_listed || fail "the line is not listed 10 s after it was loaded"
}
# PipeWire's server confirms a new default before its session manager applies it: set it until it
# reads back.
default_is() { [ "$(pactl get-default-source)" = "$1" ]; }
set_default() { pactl set-default-source "$1" && sleep 0.05 && default_is "$1"; }
vexa_at_exit() { stop_tone; unload_line; pactl set-source-mute silence 0; pactl set-default-source micsink.monitor; }
vexa_begin line sound
export VEXA_MESSAGE_LOG="$work/messages.log"

messages() { if [ -f "$VEXA_MESSAGE_LOG" ]; then wc -l <"$VEXA_MESSAGE_LOG"; else echo 0; fi; }
messages_are() { [ "$(messages)" -eq "$1" ]; }
size() { stat -c %s "$1" 2>/dev/null || echo 0; }
grows() { local before; before=$(size "$1"); vexa_until 10 larger "$1" "$before"; }
larger() { [ "$(size "$1")" -gt "$2" ]; }

# In the sound source dialog: the line list's first row, its row height, and OK. The dialog lists
# the server's sources by index.
LIST_X=120
LIST_Y0=116
ROW_H=20
OK_XY="77 292"
row_of() { pactl list short sources | sort -n | awk -v s="$1" '$2 == s {print NR - 1}'; }
dialog_shown() {
  dialog=$(xdotool search --onlyvisible --pid "$vexa_pid" --name '^Sound Source$' 2>/dev/null | grep -vx "$vexa_window" | head -1)
  [ -n "$dialog" ]
}
dialog_gone() { ! xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -qx "$dialog"; }
in_dialog() { xdotool mousemove --window "$dialog" "$1" "$2" click 1; sleep 0.2; }
# choose SOURCE: picks the source's row in the dialog and OK; 1 when the dialog did not come.
choose() {
  local row
  row=$(row_of "$1")
  [ -n "$row" ] || { fail "$1 is not a source of the server"; return 1; }
  vexa_press_button source || return 1
  vexa_until 10 dialog_shown || { fail "no sound source dialog"; return 1; }
  in_dialog "$LIST_X" $((LIST_Y0 + ROW_H * row))
  in_dialog $OK_XY
  vexa_until 10 dialog_gone || fail "the dialog did not close"
}
# stats FILE: "frequency rms" of the first channel.
stats() {
  sox "$1" -n remix 1 stat 2>&1 | awk '/Rough   frequency/ {f = $3} /RMS     amplitude/ {r = $3} END {print f, r}'
}

# --- The line goes away during a take, and comes back ---------------------------------------
case=line-gone
load_line
vexa_until 10 set_default usbmic.monitor || fail "the default source did not become usbmic.monitor"
vexa_recording_home "Format=0" "Channels=2" "Frequency=44100" "Mixer=0"
if vexa_start "$bin" "$work/$case.out"; then
  first="$rec/Vexa_001.wav"
  vexa_hover record || fail "the record button shows no hover"
  t_record=$(vexa_now)
  vexa_press
  vexa_wait_file "$first" 10 && vexa_wait_audio "$first" 10 || fail "Record made no file with audio"
  t_audio=$(vexa_now)
  sleep 3
  t_unload=$(vexa_now)
  unload_line
  stop_tone
  if vexa_until 20 messages_are 1; then
    echo "  $case: message $(vexa_since "$t_unload") s after the line went away"
  else
    fail "no message within 20 s after the line went away"
  fi
  # The take is complete when the message shows: it holds no more than Record to this moment.
  t_told=$(vexa_now)
  text=$(head -1 "$VEXA_MESSAGE_LOG" 2>/dev/null)
  echo "  $case: $text"
  [[ "$text" == *UsbMic* ]] || fail "the message does not name the line: $text"
  [[ "$text" == *Vexa_001.wav* ]] || fail "the message does not name the file: $text"
  vexa_holds "$first" && fail "the file is still open while the message shows"
  kept=$(size "$first")
  sleep 2
  [ "$(size "$first")" -eq "$kept" ] || fail "the file still grows ($kept -> $(size "$first") bytes)"
  seconds=$(vexa_seconds "$first")
  read -r low high < <(VEXA_TAKE_LOSS=0.5 vexa_take_range "$t_record" "$t_audio" "$t_unload" "$t_told")
  echo "  $case: the file holds $seconds s ($low-$high s expected)"
  vexa_in_range "$seconds" "$low" "$high" || fail "the file holds $seconds s, not $low-$high s"
  read -r f r < <(stats "$first")
  vexa_in_range "$f" 420 460 || fail "the take holds $f Hz, not the line's 440 Hz"
  vexa_close_boxes 1 >/dev/null
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) open after the message was answered"
  # (the display is drawn again once the box is answered)
  vexa_wait_symbol idle 10 || fail "the window does not show Idle ($(vexa_symbol))"
  messages_are 1 || fail "$(messages) messages: $(cat "$VEXA_MESSAGE_LOG")"

  # The line is back: the dialog offers it, and Record records it.
  case=line-back
  load_line
  if choose usbmic.monitor; then
    vexa_until 10 default_is usbmic.monitor || fail "OK left the default source at $(pactl get-default-source)"
    second="$rec/Vexa_002.wav"
    vexa_press_button record
    if vexa_wait_file "$second" 10 && vexa_wait_audio "$second" 10 && grows "$second"; then
      sleep 1
      vexa_press_button stop
      vexa_wait_closed "$second" 20 || fail "the file is still open 20 s after Stop"
      read -r f r < <(stats "$second")
      echo "  $case: the line recorded again: $f Hz, RMS $r"
      vexa_in_range "$f" 420 460 || fail "the line back recorded $f Hz"
    else
      fail "Record with the line back made no growing file"
    fi
  fi
  messages_are 1 || fail "$(messages) messages: $(cat "$VEXA_MESSAGE_LOG")"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
else
  fail "no window"
fi
stop_tone
unload_line

# --- A silent or muted line gives a note; the take goes on. The 440 Hz line none. ---------
for entry in "silent silence 1 no*sound" "muted silence 1 is*muted" "tone micsink.monitor 0 -"; do
  read -r case source want words <<<"$entry"
  rm -f "$VEXA_MESSAGE_LOG"
  pactl set-source-mute silence "$([ "$case" = muted ] && echo 1 || echo 0)"
  vexa_until 10 set_default "$source" || fail "the default source did not become $source"
  vexa_recording_home "Format=0" "Channels=2" "Frequency=44100" "Mixer=0"
  vexa_start "$bin" "$work/$case.out" || { fail "no window"; continue; }
  file="$rec/Vexa_001.wav"
  vexa_hover record || fail "the record button shows no hover"
  vexa_press
  vexa_wait_file "$file" 10 && vexa_wait_audio "$file" 10 || fail "Record made no file with audio"
  t_audio=$(vexa_now)
  # The note is due after 3 s of audio; a busy machine may take longer to show it.
  if [ "$want" = 1 ]; then
    if vexa_until 20 messages_are 1; then
      echo "  $case: note $(vexa_since "$t_audio") s after the file first held audio: $(head -1 "$VEXA_MESSAGE_LOG")"
    else
      fail "no note within 20 s"
    fi
    # shellcheck disable=SC2053
    [[ "$(head -1 "$VEXA_MESSAGE_LOG")" == *$words* ]] || fail "the note does not say '$words'"
    grows "$file" || fail "the take does not go on after the note"
    vexa_symbol_is "recording|none" || fail "the window shows $(vexa_symbol) after the note"
    vexa_close_boxes 1 >/dev/null
  else
    sleep 6
  fi
  vexa_press_button stop
  vexa_wait_closed "$file" 20 || fail "the file is still open 20 s after Stop"
  sleep 1
  messages_are "$want" || fail "$(messages) messages, expected $want: $(cat "$VEXA_MESSAGE_LOG" 2>/dev/null)"
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) open after Stop"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
done
pactl set-source-mute silence 0
pactl set-default-source micsink.monitor

vexa_finish "all line cases passed"
