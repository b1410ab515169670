#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 120
# The real program under Xvfb on a folder whose first file is a broken WAV: at start the list
# reports it once and the panel once (the reader's text and str006), and closing those boxes,
# which activates the window again, brings none of them back. Refresh brings none back either
# (a file's messages are shown once per run); once the file changed, Refresh reports it once.
set -uo pipefail
lib="${VEXA_SOURCE_DIR:?}/tests/e2e/lib.sh"
# shellcheck source=../e2e/lib.sh
source "$lib"
bin="${VEXA_BINARY_DIR:?}/vexa-recorder"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
work=$(mktemp -d /tmp/vexa-listing-e2e.XXXXXX)
vexa_holder=""
cleanup() {
  [ -n "${vexa_pid:-}" ] && kill -9 "$vexa_pid" 2>/dev/null
  [ -n "$vexa_holder" ] && kill "$vexa_holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
vexa_hold_display
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

vexa_fresh "$work"
mkdir -p "$work/rec"
printf 'this is not a wave file at all\n' > "$work/rec/a broken.wav"
sox -n -r 8000 -c 1 -b 16 "$work/rec/b fine.wav" synth 2 sine 440 || fail "sox"
vexa_write_settings "Dir=$work/rec/" "LanguageFile=English.ini" "FileList=1"

# close_boxes: closes every message box the program shows, one after the other, until none has
# shown for 2 s (or ten were closed: they come back without end); prints the titles, one a line.
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

# main_window: the program's main window (mapped or not): the first of its windows titled
# "Vexa Recorder" (a search by name also matches the boxes, so the title is compared here).
main_window() {
  local w
  for w in $(xdotool search --pid "$vexa_pid" 2>/dev/null | sort -n); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "Vexa Recorder" ] && { echo "$w"; return 0; }
  done
  return 1
}

# The first activation's boxes come while the main window is still unmapped.
"$bin" >"$work/out.log" 2>&1 &
vexa_pid=$!
vexa_window=""
for _ in $(seq 1 100); do
  vexa_window=$(main_window) && break
  sleep 0.1
done
[ -n "$vexa_window" ] || { fail "no main window"; cat "$work/out.log"; exit 1; }
titles=$(close_boxes)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "at start: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 3 ] || fail "$n boxes at start instead of 3 (the list's, then the panel's two)"
[ "$(printf '%s\n' "$titles" | head -1)" = "ERROR" ] || fail "the first box is not the reader's \"ERROR\""

# Refresh: the file nobody touched says nothing again.
vexa_click 66 206
sleep 0.3
titles=$(close_boxes)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "after Refresh: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 0 ] || fail "$n boxes after Refresh instead of none"

# The file changed: Refresh reports it once (the list's box; nothing is selected now).
printf 'still not a wave file, but another one\n' > "$work/rec/a broken.wav"
vexa_click 66 206
sleep 0.3
titles=$(close_boxes)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "after a change and Refresh: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 1 ] || fail "$n boxes after the file changed instead of 1"

kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
[ "$failures" -eq 0 ] && echo "PASS" || { cat "$work/out.log"; exit 1; }
