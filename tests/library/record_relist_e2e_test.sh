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

# close_boxes: closes every box the program shows until none has shown for 2 s; prints their
# titles, one a line.
close_boxes() {
  local quiet=0 closed=0 box
  while [ "$quiet" -lt 20 ] && [ "$closed" -lt 10 ]; do
    box=$(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -v "^$vexa_window\$" | head -1)
    if [ -z "$box" ]; then
      quiet=$((quiet + 1))
      sleep 0.1
      continue
    fi
    quiet=0
    closed=$((closed + 1))
    xdotool getwindowname "$box"
    xdotool windowfocus --sync "$box" 2>/dev/null
    sleep 0.2
    xdotool key Return
    for _ in $(seq 1 30); do
      xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -q "^$box\$" || break
      sleep 0.1
    done
  done
}
count() { printf '%s\n' "$1" | grep -c .; }

# The main window, mapped or not: the first boxes come before it shows.
"$bin" >"$work/out.log" 2>&1 &
vexa_pid=$!
vexa_window=""
for _ in $(seq 1 100); do
  for w in $(xdotool search --pid "$vexa_pid" 2>/dev/null | sort -n); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "Vexa Recorder" ] && { vexa_window=$w; break; }
  done
  [ -n "$vexa_window" ] && break
  sleep 0.1
done
[ -n "$vexa_window" ] || { fail "no main window"; cat "$work/out.log"; exit 1; }
titles=$(close_boxes)
echo "at start: $(count "$titles") boxes"
[ "$(count "$titles")" -eq 3 ] || fail "$(count "$titles") boxes at start instead of 3 (the list's, the panel's two)"
for _ in $(seq 1 50); do xwininfo -id "$vexa_window" | grep -q IsViewable && break; sleep 0.1; done

# Record for a moment; meanwhile the list is disabled and must stay dark.
vexa_click $VEXA_RECORD_XY
vexa_wait_file "$work/rec/Vexa_001.wav" 5 || fail "no recording started"
sleep 1
import -window "$vexa_window" "$work/recording.png" 2>/dev/null
# Inside the list (10,218 250x132), below its one row: the background alone.
mean=$(convert "$work/recording.png" -crop 200x80+20+260 -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null)
echo "list background while recording: mean grey ${mean:-?}"
awk -v m="${mean:-1}" 'BEGIN { exit !(m < 0.25) }' || fail "the list is not dark while recording (mean grey $mean)"
shown=$(wc -l < "$VEXA_MESSAGE_LOG" 2>/dev/null || echo 0)
vexa_click $VEXA_STOP_XY
titles=$(close_boxes)
echo "after the recording: $(count "$titles") boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$(count "$titles")" -eq 0 ] ||
  fail "boxes came back after the recording: $(tail -n +$((shown + 1)) "$VEXA_MESSAGE_LOG" 2>/dev/null | tr '\n' '|')"

# Refresh: nothing either.
vexa_click 66 206
titles=$(close_boxes)
echo "after Refresh: $(count "$titles") boxes"
[ "$(count "$titles")" -eq 0 ] || fail "boxes came back after Refresh"

kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
[ "$failures" -eq 0 ] && echo "PASS" || { cat "$work/out.log"; exit 1; }
