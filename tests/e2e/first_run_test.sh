#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# A first take on a new account, driven by the keys: a home with no Documents folder and no
# settings, R, about 3 s, S gives ~/Documents/Vexa_001.mp3 (the default folder and format) that
# decodes to about 3 s, and no box shows. The same after the chosen recordings folder (and its
# parent) was removed while the program stood idle. A folder that cannot be made (its parent is
# a plain file) gives exactly one box, which names the folder and why, records nothing, and the
# program goes on. Every text a box shows is logged (VEXA_MESSAGE_LOG) and checked.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
vexa_begin first sound
export VEXA_MESSAGE_LOG=$work/messages.log
case=start

# take FILE: R, about 3 s after FILE holds audio, S; checks FILE decodes to what was recorded
# (vexa_take_range: bounds a busy machine can only widen) and that no box showed.
take() {
  local file=$1 record audio stop done seconds low high
  vexa_focus
  record=$(vexa_now)
  xdotool key r
  if ! vexa_wait_audio "$file" 15; then
    fail "R made no $(basename "$file") with audio (boxes: $(vexa_boxes))"
    return
  fi
  audio=$(vexa_now)
  [ "$(vexa_boxes)" -eq 0 ] || fail "a box shows while recording"
  sleep 3
  stop=$(vexa_now)
  xdotool key s
  vexa_wait_closed "$file" 15 || fail "Stop did not complete $(basename "$file")"
  done=$(vexa_now)
  seconds=$(vexa_seconds "$file")
  read -r low high < <(vexa_take_range "$record" "$audio" "$stop" "$done")
  echo "$case: $(basename "$file") decodes to $seconds s (bounds $low..$high s)"
  vexa_in_range "$seconds" "$low" "$high" || fail "$(basename "$file") decodes to $seconds s, not $low..$high s"
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) after the take"
  [ ! -s "$VEXA_MESSAGE_LOG" ] || fail "messages shown: $(cat "$VEXA_MESSAGE_LOG")"
}

# --- A new account: no Documents folder, no settings ---
case="new home"
vexa_fresh "$work/new"
[ ! -e "$HOME/Documents" ] || fail "the new home has a Documents folder"
[ ! -e "$vexa_settings" ] || fail "the new home has settings"
vexa_start "$bin" "$work/new.log" || { fail "no visible window"; cat "$work/new.log"; exit 1; }
take "$HOME/Documents/Vexa_001.mp3"
[ "$(ls "$HOME/Documents")" = Vexa_001.mp3 ] || fail "Documents holds: $(ls "$HOME/Documents" | tr '\n' ' ')"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"

# --- The chosen folder and its parent removed while the program is idle ---
case="folder removed while idle"
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
case="folder that cannot be made"
vexa_fresh "$work/blocked"
: >"$work/blocked/plain"
vexa_write_settings "Dir=$work/blocked/plain/takes/" "LanguageFile=English.ini" "Format=1"
vexa_start "$bin" "$work/blocked.log" || { fail "no visible window"; cat "$work/blocked.log"; exit 1; }
vexa_focus
xdotool key r
box_open() { [ "$(vexa_boxes)" -ge 1 ]; }
no_box() { [ "$(vexa_boxes)" -eq 0 ]; }
vexa_until 10 box_open || fail "no box shows"
[ -f "$work/blocked/plain" ] && [ ! -s "$work/blocked/plain" ] || fail "the plain file was touched"
xdotool key Return
vexa_until 10 no_box || fail "the box did not close"
# A second box (the writer's own, then the general one) would follow the first once it closed.
sleep 1
no_box || fail "a second box shows"
[ "$(wc -l <"$VEXA_MESSAGE_LOG")" -eq 1 ] || fail "messages: $(cat "$VEXA_MESSAGE_LOG")"
grep -qF "$work/blocked/plain/takes" "$VEXA_MESSAGE_LOG" && grep -q "Not a directory" "$VEXA_MESSAGE_LOG" ||
  fail "the message does not name the folder and why: $(cat "$VEXA_MESSAGE_LOG")"
[ -z "$(find "$work/blocked" -name 'Vexa_*')" ] || fail "a take was made: $(find "$work/blocked" -name 'Vexa_*')"
kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"

vexa_finish
