#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 120
# The real program under Xvfb with the private sound server, on a folder holding one 24-bit WAV
# (which the reader refuses): the list's box shows once at the start, and neither a recording's end
# (which re-lists the folder) nor Refresh brings them back. While recording, the disabled file
# list keeps the skin's dark background.
set -uo pipefail
lib="${VEXA_SOURCE_DIR:?}/tests/e2e/lib.sh"
# shellcheck source=../e2e/lib.sh
source "$lib"
vexa_begin relist-e2e sound
# The program writes each box's text here as well.
export VEXA_MESSAGE_LOG="$work/messages.log"

vexa_fresh "$work"
mkdir -p "$work/rec"
sox -n -r 44100 -c 2 -b 24 "$work/rec/a deep.wav" synth 1 sine 440 || fail "sox"
vexa_write_settings "Dir=$work/rec/" "LanguageFile=English.ini" "FileList=1" "Format=0"

count() { printf '%s\n' "$1" | grep -c .; }

# The main window, mapped or not: the first boxes come before it shows.
"$bin" >"$work/out.log" 2>&1 &
vexa_pid=$!
vexa_window=""
vexa_until 30 vexa_find_main || { fail "no main window"; cat "$work/out.log"; exit 1; }
titles=$(vexa_close_boxes 1)
echo "at start: $(count "$titles") boxes"
[ "$(count "$titles")" -eq 1 ] || fail "$(count "$titles") boxes at start instead of 1 (the list's)"
vexa_until 30 vexa_viewable || fail "the main window does not show 30 s after its boxes were closed"

# Record for a moment; meanwhile the list is disabled and must stay dark. The library's buttons
# are disabled with it, in one painting of the window: a shot that shows Refresh disabled shows
# the disabled list as well.
vexa_off_window
vexa_until 30 vexa_idle || fail "Refresh does not show its usable picture within 30 s"
vexa_rows "$work/before.png"
vexa_hover record || fail "Record shows no hover 10 s after the mouse came"
vexa_press
if vexa_wait_file "$work/rec/Vexa_001.wav" 20 && vexa_wait_audio "$work/rec/Vexa_001.wav" 10; then
  library_disabled() { vexa_shot && vexa_refresh_is d; }
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
vexa_off_window
relisted() { vexa_shot && vexa_refresh_is n && vexa_rows_changed; }
if ! vexa_until 20 relisted; then
  state="display $(vexa_symbol)"
  vexa_refresh_is n || state="$state, Refresh not usable"
  vexa_rows_changed || state="$state, rows unchanged"
  fail "the list does not show the take with Refresh usable 20 s after Stop ($state)"
fi
titles=$(vexa_close_boxes 0)
echo "after the recording: $(count "$titles") boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$(count "$titles")" -eq 0 ] ||
  fail "boxes came back after the recording: $(tail -n +$((shown + 1)) "$VEXA_MESSAGE_LOG" 2>/dev/null | tr '\n' '|')"

# Refresh: nothing either (the file made beside them is a fine one).
vexa_refresh_listing "$work/rec/b fine.wav"
titles=$(vexa_close_boxes 0)
echo "after Refresh: $(count "$titles") boxes"
[ "$(count "$titles")" -eq 0 ] || fail "boxes came back after Refresh"

[ -e "$work/stuck" ] && fail "boxes that Return did not close: $(tr '\n' '|' <"$work/stuck")"
kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
vexa_finish PASS cat "$work/out.log"
