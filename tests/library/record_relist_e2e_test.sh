#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 120
# The real program under Xvfb with the private sound server, on a folder holding one 24-bit WAV
# (which the reader refuses): its boxes show once at the start, and neither a recording's end
# (which re-lists the folder) nor Refresh brings them back. While recording, the disabled file
# list keeps the skin's dark background.
set -uo pipefail
lib="${VEXA_SOURCE_DIR:?}/tests/e2e/lib.sh"
# shellcheck source=../e2e/lib.sh
source "$lib"
bin="${VEXA_BINARY_DIR:?}/vexa-recorder"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
[ -n "${PULSE_SERVER:-}" ] || { echo "FAIL: no PULSE_SERVER; run under scripts/test.sh or scripts/services.sh"; exit 1; }
work=$(mktemp -d /tmp/vexa-relist-e2e.XXXXXX)
vexa_holder=""
cleanup() {
  [ -n "${vexa_pid:-}" ] && kill -9 "$vexa_pid" 2>/dev/null
  [ -n "$vexa_holder" ] && kill "$vexa_holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
vexa_hold_display
# The program writes each box's text here as well.
export VEXA_MESSAGE_LOG="$work/messages.log"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

vexa_fresh "$work"
mkdir -p "$work/rec"
sox -n -r 44100 -c 2 -b 24 "$work/rec/a deep.wav" synth 1 sine 440 || fail "sox"
vexa_write_settings "Dir=$work/rec/" "LanguageFile=English.ini" "FileList=1" "Format=0"

# next_box: sets $box to a message box of the program on screen (a dialog window: not the main
# window, nor a hint).
next_box() {
  local w
  box=""
  for w in $(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null); do
    [ "$w" = "$vexa_window" ] && continue
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG && { box=$w; return 0; }
  done
  return 1
}
box_gone() { ! xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -qx "$1"; }
# close_box BOX: Return in the box until it goes; Return again only while the box itself still
# has the keyboard (never into a box that followed it).
close_box() {
  local _
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$1" 2>/dev/null || return 0
    sleep 0.2
    box_gone "$1" && return 0
    xdotool key Return
    vexa_until 10 box_gone "$1" && return 0
  done
  return 1
}
# close_boxes COUNT: closes the message boxes the program shows, one after the other: COUNT
# that must come (each within 30 s: a busy machine may take long to show one), then any that
# come within 2 s of the last (or until ten were closed: they come back without end); prints
# the titles, one a line. A box that Return does not close is named in $work/stuck.
close_boxes() {
  local closed=0 guard
  while [ "$closed" -lt 10 ]; do
    guard=2
    [ "$closed" -lt "$1" ] && guard=30
    vexa_until "$guard" next_box || break
    closed=$((closed + 1))
    xdotool getwindowname "$box"
    close_box "$box" || { xdotool getwindowname "$box" >>"$work/stuck"; break; }
  done
}

# off_window: the mouse away from the window, so that no control shows its hover or a hint.
off_window() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$vexa_window")"
  if [ $((X + WIDTH + 20)) -lt "$(xdotool getdisplaygeometry | cut -d' ' -f1)" ]; then
    xdotool mousemove $((X + WIDTH + 20)) $((Y + 10))
  else
    xdotool mousemove $((X > 20 ? X - 20 : 0)) $((Y + HEIGHT + 10))
  fi
}
# shot: a picture of the window as it is painted now, in $work/shot.png.
shot() { import -window "$vexa_window" "$work/shot.png" 2>/dev/null; }
# refresh_is n|d: the last shot shows Refresh in its usable (n) or disabled (d) picture, wherever
# that picture is not key-coloured.
refresh_is() {
  local art="${VEXA_SOURCE_DIR:?}/src/skin/art/refresh_$1.png"
  convert "$work/shot.png" -crop 16x16+58+198 +repage "$work/refresh.png" 2>/dev/null &&
    convert "$work/refresh.png" \( "$art" -transparent "$(convert "$art" -format '%[pixel:p{0,0}]' info:)" \) \
      -composite "$work/refresh-art.png" 2>/dev/null &&
    [ "$(compare -metric AE "$work/refresh.png" "$work/refresh-art.png" null: 2>&1)" = 0 ]
}
# idle: the window is painted, and its library usable (no recording runs).
idle() { shot && refresh_is n; }
# rows FILE: the list's rows (the list starts at 10,218) in the last shot.
rows() { convert "$work/shot.png" -crop 240x60+10+218 +repage "$1" 2>/dev/null; }
rows_changed() { rows "$work/after.png" && [ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1)" != 0 ]; }
listed() { shot && rows_changed; }
# refresh_listing NEWFILE: presses Refresh with NEWFILE just made in the folder, and waits until
# the list shows it. The listing shows its boxes before the window paints the list again, so
# then every box of this Refresh is on screen (the first of a row of them, which come one by
# one as each is closed).
refresh_listing() {
  off_window
  vexa_until 30 idle || fail "Refresh does not show its usable picture within 30 s"
  rows "$work/before.png"
  sox -n -r 8000 -c 1 -b 16 "$1" synth 1 sine 440 || fail "sox"
  vexa_hover refresh || fail "Refresh shows no hover 10 s after the mouse came"
  vexa_press
  off_window
  vexa_until 20 listed || fail "the list does not show $(basename "$1") 20 s after Refresh"
}
viewable() { xwininfo -id "$vexa_window" 2>/dev/null | grep -q IsViewable; }

count() { printf '%s\n' "$1" | grep -c .; }

# The main window, mapped or not: the first boxes come before it shows.
"$bin" >"$work/out.log" 2>&1 &
vexa_pid=$!
vexa_window=""
find_main() {
  local w
  for w in $(xdotool search --pid "$vexa_pid" 2>/dev/null | sort -n); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "Vexa Recorder" ] && { vexa_window=$w; return 0; }
  done
  return 1
}
vexa_until 30 find_main || { fail "no main window"; cat "$work/out.log"; exit 1; }
titles=$(close_boxes 3)
echo "at start: $(count "$titles") boxes"
[ "$(count "$titles")" -eq 3 ] || fail "$(count "$titles") boxes at start instead of 3 (the list's, the panel's two)"
vexa_until 30 viewable || fail "the main window does not show 30 s after its boxes were closed"

# Record for a moment; meanwhile the list is disabled and must stay dark. The library's buttons
# are disabled with it, in one painting of the window: a shot that shows Refresh disabled shows
# the disabled list as well.
off_window
vexa_until 30 idle || fail "Refresh does not show its usable picture within 30 s"
rows "$work/before.png"
vexa_hover record || fail "Record shows no hover 10 s after the mouse came"
vexa_press
if vexa_wait_file "$work/rec/Vexa_001.wav" 20 && vexa_wait_audio "$work/rec/Vexa_001.wav" 10; then
  library_disabled() { shot && refresh_is d; }
  vexa_until 10 library_disabled || fail "Refresh is not disabled 10 s after the recording began"
  # Inside the list (10,218 250x132), below its one row: the background alone.
  mean=$(convert "$work/shot.png" -crop 200x80+20+260 -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null)
  echo "list background while recording: mean grey ${mean:-?}"
  awk -v m="${mean:-1}" 'BEGIN { exit !(m < 0.25) }' || fail "the list is not dark while recording (mean grey $mean)"
else
  fail "no recording started"
fi
shown=$(wc -l < "$VEXA_MESSAGE_LOG" 2>/dev/null || echo 0)
# Stop: the recording's end lists the folder again. Once the list shows the take and Refresh is
# usable again, the boxes of that listing are on screen (they show before the list is painted).
vexa_hover stop || fail "Stop shows no hover 10 s after the mouse came"
vexa_press
vexa_wait_closed "$work/rec/Vexa_001.wav" 20 || fail "Vexa_001.wav is still open 20 s after Stop"
off_window
relisted() { shot && refresh_is n && rows_changed; }
if ! vexa_until 20 relisted; then
  state="display $(vexa_symbol)"
  refresh_is n || state="$state, Refresh not usable"
  rows_changed || state="$state, rows unchanged"
  fail "the list does not show the take with Refresh usable 20 s after Stop ($state)"
fi
titles=$(close_boxes 0)
echo "after the recording: $(count "$titles") boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$(count "$titles")" -eq 0 ] ||
  fail "boxes came back after the recording: $(tail -n +$((shown + 1)) "$VEXA_MESSAGE_LOG" 2>/dev/null | tr '\n' '|')"

# Refresh: nothing either (the file made beside them is a fine one).
refresh_listing "$work/rec/b fine.wav"
titles=$(close_boxes 0)
echo "after Refresh: $(count "$titles") boxes"
[ "$(count "$titles")" -eq 0 ] || fail "boxes came back after Refresh"

[ -e "$work/stuck" ] && fail "boxes that Return did not close: $(tr '\n' '|' <"$work/stuck")"
kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
[ "$failures" -eq 0 ] && echo "PASS" || { cat "$work/out.log"; exit 1; }
