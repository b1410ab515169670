#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# The real window under Xvfb driven by the keyboard alone (after one click that selects a row):
# Space plays the selected file and pauses it, Return plays it again from the start, S stops;
# R records and S stops (about 2 s of the 440 Hz microphone, read back), R then Escape gives the
# next file; while recording, the keys of the disabled library buttons (F2, Delete, Ctrl+O) and
# of Play (Space) do nothing; F5 lists a file that appeared meanwhile; F2 renames through the
# input box; Delete asks first (Escape keeps the file, Return deletes it); Down after a click
# moves the selection, and the panel, Space, F2 and Delete follow it; Ctrl+O opens the open
# dialog; Ctrl+Q ends the program with code 0. What plays is checked by capturing the speaker's
# monitor, what is recorded by reading the file back.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
vexa_begin keyboard sound
case=start

vexa_fresh "$work"
rec="$work/rec"
mkdir -p "$rec"
sox -n -r 44100 -c 2 -b 16 "$rec/1 low.wav" synth 8 sine 330 vol 0.5 || fail "sox"
vexa_write_settings "Dir=$rec/" "LanguageFile=English.ini" "FileList=1" "Format=0" "Channels=2" "Frequency=44100"

key() { xdotool key "$@"; sleep 0.4; }
# Other visible windows of the program (boxes and dialogs), by name.
others() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$vexa_pid" --name '.' 2>/dev/null); do
    [ "$w" = "$vexa_window" ] || xdotool getwindowname "$w"
  done
}
wait_other() { # wait_other NAME: a window of that name shows within 10 s
  vexa_until 10 other_named "$1"
}
other_named() { others | grep -qx "$1"; }
no_others() { [ -z "$(others)" ]; }
others_open() { [ -n "$(others)" ]; }
# ready NAME: a window of that name shows and has the keyboard (without a window manager the
# program gives it the focus itself, a moment after it shows).
ready() {
  wait_other "$1" || return 1
  vexa_until 10 focus_in "$1"
}
focus_in() { [ "$(xdotool getwindowname "$(xdotool getwindowfocus 2>/dev/null)" 2>/dev/null)" = "$1" ]; }
no_other() { [ -z "$(others)" ] || fail "a window shows: $(others | tr '\n' ',')"; }
# rows: a picture of the list's rows (the list starts at 10,218) to compare before and after.
rows() { import -window "$vexa_window" -crop 240x60+10+218 +repage "$1" 2>/dev/null; }

vexa_start "$bin" "$work/out.log" || { fail "no visible window"; cat "$work/out.log"; exit 1; }
sleep 0.5
# Nothing has the focus without a window manager: give it to the window, and pick the row.
vexa_focus
vexa_click 60 226
sleep 0.3
vexa_focus

case="Space plays"; key space; vexa_plays 330
case="Space pauses"; key space; vexa_silent
case="Return plays from the start"; key Return; vexa_plays 330
case="S stops"; key s; vexa_silent

# --- Recording: R and S, about 2 s; then R and Escape ---
# The take lasts no longer than from just before R was sent to when the file was seen complete,
# and no shorter than from when its audio was seen to when S was sent (vexa_take_range).
case="R records"
t_record=$(vexa_now)
key r
if vexa_wait_file "$rec/Vexa_001.wav" 10 && vexa_wait_audio "$rec/Vexa_001.wav" 10; then
  t_audio=$(vexa_now)
  case="keys of disabled buttons while recording"
  key F2; key Delete; key ctrl+o; key space
  no_other
  sleep "$(awk -v s="$t_audio" -v n="$(vexa_now)" 'BEGIN {l = s + 2.0 - n; printf "%.3f", (l > 0 ? l : 0)}')"
  case="S stops the recording"
  t_stop=$(vexa_now)
  xdotool key s
  vexa_wait_closed "$rec/Vexa_001.wav" 20 || fail "Vexa_001.wav is still open 20 s after S"
  t_done=$(vexa_now)
  read -r low high < <(vexa_take_range "$t_record" "$t_audio" "$t_stop" "$t_done")
  read -r rate channels seconds freq < <(python3 - "$rec/Vexa_001.wav" <<'PY'
import math, sys, wave
w = wave.open(sys.argv[1])
rate, ch, n = w.getframerate(), w.getnchannels(), w.getnframes()
data = w.readframes(n)
left = [int.from_bytes(data[i:i + 2], "little", signed=True) for i in range(0, len(data) - 1, 2 * ch)]
seg = left[len(left) // 2 - rate // 4:len(left) // 2 + rate // 4]
# the zero crossings of the middle half second give the frequency
cross = sum(1 for a, b in zip(seg, seg[1:]) if a < 0 <= b)
print(rate, ch, "%.3f" % (n / rate if rate else 0), "%.1f" % (cross / 0.5 if seg else 0))
PY
)
  echo "$case: Vexa_001.wav $rate Hz $channels ch, $seconds s ($low-$high s expected), about $freq Hz"
  [ "$rate" = 44100 ] && [ "$channels" = 2 ] || fail "recorded $rate Hz $channels ch"
  vexa_in_range "$seconds" "$low" "$high" || fail "recorded $seconds s, not $low-$high s"
  awk -v f="$freq" 'BEGIN {exit !(f >= 430 && f <= 450)}' || fail "recorded $freq Hz, not 440"
else
  fail "R made no Vexa_001.wav with audio"
fi
case="R and Escape"
key r
if vexa_wait_file "$rec/Vexa_002.wav" 10 && vexa_wait_audio "$rec/Vexa_002.wav" 10; then
  sleep 0.5
  key Escape
  vexa_wait_closed "$rec/Vexa_002.wav" 20 || fail "Vexa_002.wav is still open 20 s after Escape"
  size=$(stat -c %s "$rec/Vexa_002.wav")
  data=$(od -An -tu4 -j40 -N4 "$rec/Vexa_002.wav" | tr -d ' ')
  [ "$data" = "$((size - 44))" ] || fail "Escape left an unfinished Vexa_002.wav (data $data, size $size)"
else
  fail "R made no Vexa_002.wav with audio"
fi
# Stopped: Escape again does nothing and no box shows.
key Escape; no_other

# --- F5 lists a file that appeared meanwhile ---
case="F5 refreshes"
rows "$work/before.png"
sox -n -r 44100 -c 2 -b 16 "$rec/0 new.wav" synth 1 sine 500 vol 0.5
rows "$work/unchanged.png"
[ "$(compare -metric AE "$work/before.png" "$work/unchanged.png" null: 2>&1)" = 0 ] ||
  fail "the list changed before F5"
listed() { rows "$work/after.png"; [ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1)" != 0 ]; }
key F5
vexa_until 10 listed || fail "F5 did not list the new file within 10 s"

# --- F2 renames the selected file through the input box ---
case="F2 renames"
vexa_focus
vexa_click 60 226   # the first row: "0 new.wav"
vexa_focus
key F2
if ready Rename; then
  xdotool key ctrl+a; xdotool type --delay 20 "keyed"; sleep 0.2
  key Return
  vexa_wait_file "$rec/keyed.wav" 10 || fail "no keyed.wav 10 s after the input box"
  [ ! -e "$rec/0 new.wav" ] || fail "0 new.wav is still there"
else
  fail "F2 showed no input box named Rename with the keyboard (windows: $(others | tr '\n' ','))"
fi

# --- Delete asks first ---
case="Delete asks"
gone() { [ ! -e "$1" ]; }
vexa_focus
key Delete
if ready Confirm; then
  key Escape
  vexa_until 10 no_others || fail "the question is still open 10 s after Escape"
  [ -e "$rec/keyed.wav" ] || fail "Escape in the question deleted keyed.wav"
  vexa_focus
  key Delete
  if ready Confirm; then
    key Return
    vexa_until 10 gone "$rec/keyed.wav" || fail "keyed.wav was not deleted 10 s after the question"
  else
    fail "no question on the second Delete"
  fi
else
  fail "Delete asked nothing (windows: $(others | tr '\n' ','))"
fi
[ -e "$rec/1 low.wav" ] && [ -e "$rec/Vexa_001.wav" ] || fail "another file went missing"

# --- Down moves the selection, and the panel and the commands with it ---
# A click on the first row, then Down: the panel shows what a click on the second row shows,
# Space plays the second file, F2 renames it; again, Delete deletes the (new) second file.
case="Down moves the selection"
panel() { import -window "$vexa_window" -crop 150x54+100+32 +repage "$1" 2>/dev/null; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
sox -n -r 44100 -c 2 -b 16 "$rec/2 mid.wav" synth 8 sine 550 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$rec/3 high.wav" synth 4 sine 660 vol 0.5
vexa_focus
key F5
vexa_click 60 242; sleep 0.3; panel "$work/second.png"   # "2 mid.wav" clicked
vexa_click 60 226; sleep 0.3; panel "$work/first.png"    # "1 low.wav" clicked
same "$work/first.png" "$work/second.png" && fail "the panel shows the same for both rows"
vexa_focus
key Down
panel "$work/down.png"
same "$work/down.png" "$work/second.png" || fail "after Down the panel does not show the second row"
case="Space after Down"; key space; vexa_plays 550; key s; vexa_silent
case="F2 after Down"
vexa_focus
vexa_click 60 226; vexa_focus; key Down
key F2
if ready Rename; then
  xdotool key ctrl+a; xdotool type --delay 20 "moved"; sleep 0.2
  key Return
  vexa_wait_file "$rec/moved.wav" 10 || fail "no moved.wav 10 s after the input box"
  [ ! -e "$rec/2 mid.wav" ] || fail "F2 after Down renamed another file than 2 mid.wav"
else
  fail "F2 showed no input box named Rename"
fi
case="Delete after Down"
vexa_focus
vexa_click 60 226; vexa_focus; key Down   # "3 high.wav" is the second row now
key Delete
if ready Confirm; then
  key Return
  vexa_until 10 gone "$rec/3 high.wav" || fail "Delete after Down did not delete 3 high.wav"
else
  fail "Delete asked nothing"
fi
[ -e "$rec/1 low.wav" ] && [ -e "$rec/moved.wav" ] || fail "Delete after Down deleted another file"

# --- Ctrl+O opens the open dialog; Escape closes it ---
case="Ctrl+O opens"
vexa_focus
key ctrl+o
if vexa_until 10 others_open; then
  echo "$case: $(others)"
  # The dialog takes the keyboard once it shows.
  vexa_until 10 focus_in "$(others | head -1)"
  key Escape
  vexa_until 10 no_others || fail "a window still shows 10 s after Escape: $(others | tr '\n' ',')"
else
  fail "Ctrl+O opened nothing within 10 s"
fi

# --- Ctrl+Q ends the program ---
case="Ctrl+Q exits"
vexa_focus
xdotool key ctrl+q
vexa_wait_end
[ "$vexa_rc" = 0 ] || { fail "exit code $vexa_rc after Ctrl+Q"; sed 's/^/  | /' "$work/out.log"; }

vexa_finish "keyboard: every key drove the window"
