#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# The mixer panel of the real window under Xvfb, on the private sound server (lines: the
# monitors of Speaker, MicSink at 440 Hz and ToneSink at 1 kHz, and Silence). The sound source
# dialog chooses the line a recording hears (1 kHz, then 440 Hz; Cancel changes nothing), the
# recording slider sets the recording level, the speaker slider moves the server's volume while
# it is dragged, the mute button toggles the server's mute, and a stored mixer that does not
# exist is written back as 0. Without a sound server the window comes up at once, the dialog is
# empty and its OK changes nothing.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
restore_server() {
  pactl set-default-source micsink.monitor
  pactl set-sink-volume speaker 100%
  pactl set-sink-mute speaker 0
  for s in micsink.monitor speaker.monitor tonesink.monitor silence; do pactl set-source-volume "$s" 100%; done
}
vexa_at_exit() { restore_server; }
vexa_begin mixer sound

# Client coordinates: the sound source and mute buttons, the middle row of the sliders.
SOURCE_XY="253 153"
MUTE_XY="253 131"
SPEAK_Y=132
WAVEIN_Y=154
# In the dialog: the line list's first row, its row height, OK and Cancel.
LIST_X=120
LIST_Y0=116
ROW_H=20
OK_XY="77 292"
CANCEL_XY="205 292"

# row_of SOURCE: the row of a source in the dialog (the server's sources by index).
row_of() { pactl list short sources | sort -n | awk -v s="$1" '$2 == s {print NR - 1}'; }

# stats FILE: "frequency rms" of the first channel (rough frequency from sox).
stats() {
  sox "$1" -n remix 1 stat 2>&1 | awk '/Rough   frequency/ {f = $3} /RMS     amplitude/ {r = $3} END {print f, r}'
}

# Clicks reach the program when it gets to them: each effect is waited for (up to 10 s), on the
# server or in the window, before the next step.
default_is() { [ "$(pactl get-default-source)" = "$1" ]; }

# dialog: opens the sound source dialog with the button and sets $dialog; 1 when none shows.
dialog() {
  vexa_press_button source
  dialog=""
  vexa_until 10 dialog_shown && return 0
  fail "no sound source dialog"
  return 1
}
dialog_shown() {
  # (a name search also lists the main window, whose hints name the dialog)
  dialog=$(xdotool search --onlyvisible --pid "$vexa_pid" --name '^Sound Source$' 2>/dev/null | grep -vx "$vexa_window" | head -1)
  [ -n "$dialog" ]
}
in_dialog() { xdotool mousemove --window "$dialog" "$1" "$2" click 1; sleep 0.2; }
dialog_open() { xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -qx "$dialog"; }
dialog_gone() {
  vexa_until 10 eval '! dialog_open' || fail "the dialog did not close"
}

# choose SOURCE BUTTON: in the dialog, clicks the source's row, then OK or Cancel.
choose() {
  local row
  row=$(row_of "$1")
  dialog || return 1
  in_dialog "$LIST_X" $((LIST_Y0 + ROW_H * row))
  if [ "$2" = ok ]; then in_dialog $OK_XY; else in_dialog $CANCEL_XY; fi
  dialog_gone
}

# record FILE: about 2 s through Record and Stop into the next file, FILE; prints "frequency rms".
n=0
next() { n=$((n + 1)); file=$(printf '%s/Vexa_%03d.wav' "$rec" "$n"); }
record() {
  local file=$1
  vexa_press_button record
  vexa_wait_file "$file" 10 && vexa_wait_audio "$file" 10 || { fail "Record made no $(basename "$file") with audio"; echo "0 0"; return; }
  sleep 2
  vexa_press_button stop
  vexa_wait_closed "$file" 20 || fail "$(basename "$file") is still open 20 s after Stop"
  stats "$file"
}

case=lines
vexa_fresh "$work/home"
rec="$work/rec"
mkdir -p "$rec"
vexa_write_settings "Format=0" "Channels=2" "Frequency=44100" "Dir=$rec/" "Mixer=3"
restore_server
vexa_start "$bin" "$work/out.txt" || { fail "no window"; cat "$work/out.txt"; exit 1; }

choose tonesink.monitor ok
vexa_until 10 default_is tonesink.monitor || fail "OK left the default source at $(pactl get-default-source)"
next; read -r f r < <(record "$file")
echo "$case: 1 kHz line: $f Hz, RMS $r"
vexa_in_range "$f" 950 1050 || fail "the 1 kHz line recorded $f Hz"
full=$r

choose micsink.monitor ok
vexa_until 10 default_is micsink.monitor || fail "OK left the default source at $(pactl get-default-source)"
next; read -r f r < <(record "$file")
echo "$case: 440 Hz line: $f Hz, RMS $r"
vexa_in_range "$f" 420 460 || fail "the 440 Hz line recorded $f Hz"

# A line removed while the dialog is open moves the rows under the choice: OK still takes the
# line the user picked (by its name), and the take holds that line's tone (660 Hz).
case=moved-rows
extra=$(pactl load-module module-null-sink sink_name=extra1 rate=44100 channels=2 sink_properties=device.description=Extra)
tone2=$(pactl load-module module-null-sink sink_name=tone2 rate=44100 channels=2 sink_properties=device.description=ToneTwo)
if sine=$(pactl load-module module-sine sink=tone2 frequency=660 2>/dev/null); then
  feeder=""
else # PipeWire has no module-sine: a client plays the tone
  sine=""
  sox -q -n -r 44100 -c 2 -b 16 -t raw - synth 120 sine 660 | pacat -d tone2 --raw --rate=44100 --channels=2 &
  feeder=$!
fi
row=$(row_of tone2.monitor)
if dialog; then
  in_dialog "$LIST_X" $((LIST_Y0 + ROW_H * row))
  pactl unload-module "$extra"
  extra=""
  sleep 1 # the list follows the server's event
  in_dialog $OK_XY
  dialog_gone
fi
vexa_until 10 default_is tone2.monitor || fail "OK chose $(pactl get-default-source), not the picked line"
next; read -r f r < <(record "$file")
echo "$case: the picked line after a line above it went away: $f Hz"
vexa_in_range "$f" 630 690 || fail "the take holds $f Hz, not the picked line's 660 Hz"
[ -n "$feeder" ] && kill "$feeder" 2>/dev/null
for m in $sine $tone2 $extra; do pactl unload-module "$m" 2>/dev/null; done
pactl set-default-source micsink.monitor

case=cancel
choose tonesink.monitor cancel
[ "$(pactl get-default-source)" = micsink.monitor ] || fail "Cancel changed the default source to $(pactl get-default-source)"
next; read -r f r < <(record "$file")
echo "$case: after Cancel: $f Hz"
vexa_in_range "$f" 420 460 || fail "after Cancel the recording has $f Hz"

case=record-level
choose tonesink.monitor ok
vexa_until 10 default_is tonesink.monitor || fail "OK left the default source at $(pactl get-default-source)"
# A click on the track a quarter of the way (track 52 px after the 12 px slide). The track shows
# nothing while its poll sees the mouse, so a click that came before is given again; a click
# there always sets the same place.
source_volume() { pactl get-source-volume "$1" | grep -o '[0-9]*%' | head -1; }
volume_is() { [ "$(source_volume "$1")" = "$2" ]; }
for _ in 1 2 3; do
  vexa_click $((172 + 13 + 6)) "$WAVEIN_Y"
  vexa_until 5 volume_is tonesink.monitor 25% && break
done
vol=$(source_volume tonesink.monitor)
echo "$case: the recording slider at a quarter: tonesink.monitor at $vol"
[ "$vol" = 25% ] || fail "the source's volume is $vol, not 25%"
next; read -r f r < <(record "$file")
echo "$case: RMS $r at a quarter, $full at the top"
awk -v q="$r" -v t="$full" 'BEGIN {exit !(q > 0 && t > 0 && q < t / 4)}' || fail "RMS $r at a quarter is not well below $full"

case=speaker-drag
# The slide, at the top of the track, shows that it sees the mouse before the button goes down;
# at each step of the drag the server's volume is waited for to move (up to 5 s).
speaker_volume() { pactl get-sink-volume speaker | grep -o '[0-9]*%' | head -1; }
volume_moved() { [ "$(speaker_volume)" != "$1" ]; }
before=$(speaker_volume)
vexa_hover speak-top || fail "the speaker slide shows no hover"
xdotool mousedown 1
seen=""
last=$before
for x in 225 218 211 204 197; do
  xdotool mousemove --window "$vexa_window" "$x" "$SPEAK_Y"
  vexa_until 5 volume_moved "$last"
  last=$(speaker_volume)
  seen="$seen $last"
done
xdotool mouseup 1
after=$(speaker_volume)
echo "$case: $before, during the drag:$seen, after $after"
distinct=$(echo "$seen" | tr ' ' '\n' | grep -v '^$' | sort -u | wc -l)
[ "$distinct" -ge 3 ] || fail "the volume did not follow the drag ($seen)"
[ "$after" != "$before" ] || fail "the volume did not change"

case=mute
mute_is() { [ "$(pactl get-sink-mute speaker)" = "Mute: $1" ]; }
mute_is no || fail "muted before the test"
vexa_press_button mute
vexa_until 10 mute_is yes || fail "the mute button did not mute"
vexa_press_button mute
vexa_until 10 mute_is no || fail "the mute button did not unmute"

case=mixer-setting
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
grep -qx 'Mixer=0' "$vexa_settings" || fail "Mixer written as $(grep Mixer "$vexa_settings")"
restore_server

# --- No sound server ------------------------------------------------------------------------
case=no-server
vexa_fresh "$work/none"
vexa_write_settings "Format=0" "Channels=2" "Frequency=44100" "Dir=$rec/" "Mixer=0"
windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null); do
    echo "$w $(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p')"
  done
}
# The start-up box comes at once: no wait for a server that is not there. A wait of the
# program's own (2 s for an answer, 3 s for a default) shows in the time reported; what decides
# is only a hang guard, as a busy machine may take seconds to start any program.
start=$(vexa_now)
PULSE_SERVER="unix:$work/no-server" "$bin" >"$work/none.out" 2>&1 &
vexa_pid=$!
windows_shown() { [ -n "$(windows)" ]; }
vexa_until 20 windows_shown
took=$(vexa_since "$start")
echo "$case: first window (the start-up box) after $took s"
windows_shown || fail "no window within $took s"
# Each box is answered with Return and waited for to close; then the main window.
box_count() { windows | grep -vc ' 270x358$'; }
fewer_boxes() { [ "$(box_count)" -lt "$1" ]; }
main_shown() { vexa_window=$(windows | awk '$2 == "270x358" {print $1; exit}'); [ -n "$vexa_window" ]; }
for _ in 1 2 3; do
  open=$(box_count)
  [ "$open" -gt 0 ] || break
  xdotool key Return
  vexa_until 10 fewer_boxes "$open" || break
done
vexa_until 10 main_shown
if [ -n "$vexa_window" ] && dialog; then
  geometry=$(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Geometry: //p')
  [ "$geometry" = 289x321 ] || fail "dialog of $geometry"
  in_dialog "$LIST_X" "$LIST_Y0"
  in_dialog $OK_XY
  dialog_gone
  kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
  grep -qx 'Mixer=-1' "$vexa_settings" || fail "Mixer written as $(grep Mixer "$vexa_settings")"
else
  fail "no main window"
fi

vexa_finish
