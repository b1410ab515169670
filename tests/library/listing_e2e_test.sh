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
find_main() { vexa_window=$(main_window); }
vexa_until 30 find_main || { fail "no main window"; cat "$work/out.log"; exit 1; }
titles=$(close_boxes 3)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "at start: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 3 ] || fail "$n boxes at start instead of 3 (the list's, then the panel's two)"
[ "$(printf '%s\n' "$titles" | head -1)" = "ERROR" ] || fail "the first box is not the reader's \"ERROR\""
vexa_until 30 viewable || fail "the main window does not show 30 s after its boxes were closed"

# Refresh: the file nobody touched says nothing again (the file made beside it is a fine one).
refresh_listing "$work/rec/c fine.wav"
titles=$(close_boxes 0)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "after Refresh: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 0 ] || fail "$n boxes after Refresh instead of none"

# The file changed: Refresh reports it once (the list's box; nothing is selected now).
printf 'still not a wave file, but another one\n' > "$work/rec/a broken.wav"
vexa_hover refresh || fail "Refresh shows no hover 10 s after the mouse came"
vexa_press
titles=$(close_boxes 1)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "after a change and Refresh: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 1 ] || fail "$n boxes after the file changed instead of 1"

[ -e "$work/stuck" ] && fail "boxes that Return did not close: $(tr '\n' '|' <"$work/stuck")"
kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
[ "$failures" -eq 0 ] && echo "PASS" || { cat "$work/out.log"; exit 1; }
