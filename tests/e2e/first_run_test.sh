#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# A first take on a new account, driven by the keys: a home with no Documents folder and no
# settings, R, about 3 s, S gives ~/Documents/Vexa_001.mp3 (the default folder and format) that
# decodes to about 3 s, and no box shows. The same after the chosen recordings folder (and its
# parent) was removed while the program stood idle. A folder that cannot be made (its parent is
# a plain file) gives exactly one box, records nothing, and the program goes on.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
bin="${VEXA_BINARY_DIR:?}/vexa-recorder"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
[ -n "${PULSE_SERVER:-}" ] || { echo "FAIL: no PULSE_SERVER; run under scripts/test.sh or scripts/services.sh"; exit 1; }
work=$(mktemp -d /tmp/vexa-first.XXXXXX)
vexa_holder=""
cleanup() {
  [ -n "${vexa_pid:-}" ] && kill -9 "$vexa_pid" 2>/dev/null
  [ -n "$vexa_holder" ] && kill "$vexa_holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
vexa_hold_display
failures=0
step=start
fail() { echo "FAIL [$step]: $*"; failures=$((failures + 1)); }
# Nothing has the focus without a window manager: give it to the window before keys.
focus() { xdotool windowfocus --sync "$vexa_window" 2>/dev/null || xdotool windowfocus "$vexa_window"; sleep 0.2; }

# finished FILE: waits (a hang guard of 15 s) until FILE decodes and its size has stopped
# changing, which Stop completes; prints the decoded seconds, or "none".
finished() {
  local size last="" seconds=none _
  for _ in $(seq 1 75); do
    size=$(stat -c %s "$1" 2>/dev/null || echo 0)
    if [ "$size" = "$last" ] && [ "$size" -gt 0 ]; then
      seconds=$(vexa_seconds "$1")
      [ "$seconds" != none ] && break
    fi
    last=$size
    sleep 0.2
  done
  echo "$seconds"
}

# take FILE: R, about 3 s after FILE appears, S; checks FILE decodes to what was recorded and
# that no box showed. The bounds hold on a busy machine: the take cannot be longer than from
# just before R was sent to just after the file was complete, and cannot be much shorter than
# from when the file (made at Record, just before the capture starts) was seen to when S was
# sent, less the capture's first block.
take() {
  local file=$1 before seen sent after seconds
  focus
  before=$(vexa_now)
  xdotool key r
  if ! vexa_wait_file "$file" 10; then
    fail "R made no $(basename "$file") (boxes: $(vexa_boxes))"
    ls -la "$(dirname "$file")" 2>&1
    return
  fi
  seen=$(vexa_now)
  [ "$(vexa_boxes)" -eq 0 ] || fail "a box shows while recording"
  sleep 3
  sent=$(vexa_now)
  xdotool key s
  seconds=$(finished "$file")
  after=$(vexa_now)
  local longest shortest
  longest=$(awk -v a="$before" -v b="$after" 'BEGIN {printf "%.2f", b - a + 0.3}')
  shortest=$(awk -v a="$seen" -v b="$sent" 'BEGIN {printf "%.2f", b - a - 1.0}')
  echo "$step: $(basename "$file") decodes to $seconds s (bounds $shortest..$longest s)"
  vexa_in_range "$seconds" "$shortest" "$longest" || fail "$(basename "$file") decodes to $seconds s, not $shortest..$longest s"
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) after the take"
}

# --- A new account: no Documents folder, no settings ---
step="new home"
vexa_fresh "$work/new"
[ ! -e "$HOME/Documents" ] || fail "the new home has a Documents folder"
[ ! -e "$vexa_settings" ] || fail "the new home has settings"
vexa_start "$bin" "$work/new.log" || { fail "no visible window"; cat "$work/new.log"; exit 1; }
take "$HOME/Documents/Vexa_001.mp3"
[ "$(ls "$HOME/Documents")" = Vexa_001.mp3 ] || fail "Documents holds: $(ls "$HOME/Documents" | tr '\n' ' ')"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"

# --- The chosen folder and its parent removed while the program is idle ---
step="folder removed while idle"
vexa_fresh "$work/removed"
mkdir -p "$work/removed/disk/takes"
sox -n -r 44100 -c 2 -b 16 "$work/removed/disk/takes/old.wav" synth 1 sine 330 || fail "sox"
vexa_write_settings "Dir=$work/removed/disk/takes/" "LanguageFile=English.ini" "Format=1"
vexa_start "$bin" "$work/removed.log" || { fail "no visible window"; cat "$work/removed.log"; exit 1; }
sleep 0.5
rm -rf "$work/removed/disk"
take "$work/removed/disk/takes/Vexa_001.mp3"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"

# --- A folder that cannot be made: one box, nothing recorded, the program goes on ---
step="folder that cannot be made"
vexa_fresh "$work/blocked"
: >"$work/blocked/plain"
vexa_write_settings "Dir=$work/blocked/plain/takes/" "LanguageFile=English.ini" "Format=1"
vexa_start "$bin" "$work/blocked.log" || { fail "no visible window"; cat "$work/blocked.log"; exit 1; }
focus
xdotool key r
boxes=0
for _ in $(seq 1 100); do
  boxes=$(vexa_boxes)
  [ "$boxes" -gt 0 ] && break
  sleep 0.05
done
sleep 0.5 # a second box would follow the first at once
boxes=$(vexa_boxes)
[ "$boxes" -eq 1 ] || fail "$boxes boxes, expected one"
[ -f "$work/blocked/plain" ] && [ ! -s "$work/blocked/plain" ] || fail "the plain file was touched"
xdotool key Return
for _ in $(seq 1 100); do [ "$(vexa_boxes)" -eq 0 ] && break; sleep 0.05; done
[ "$(vexa_boxes)" -eq 0 ] || fail "the box did not close"
kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$((failures > 0))"
