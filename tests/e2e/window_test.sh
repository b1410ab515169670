#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 240
# The real program's skinned window on an X display (Xvfb, no window manager), driven with the
# mouse through xdotool, with a private home kept across three starts:
#  1. fresh: the window is 270 x 358 and the desktop (painted green first) shows through exactly
#     at the key-colour pixels of the skin: the four corners and the two side notches; dragging
#     the bare skin, the title and the folder label with the left button moves the window, the
#     right button does not; the list button halves the height to 168 (the shape follows); the
#     close button ends the program with code 0, saving the defaults with FileList=0.
#  2. the window starts 168 high; the list button brings it back to 358; stay on top from the
#     system menu recreates the window above the others with its shape; closing saves OnTop=1.
#  3. the window starts on top with its shape; stay on top switched off keeps the shape; the
#     close button saves exactly the defaults.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# (vexa_begin holds the display for the whole test: Xvfb resets the desktop colour too whenever
# its last client leaves)
vexa_begin window-e2e
skin=${VEXA_SOURCE_DIR:?}/src/skin/art/skin.png
[ -x "$bin" ] || { echo "FAIL: $bin not built"; exit 1; }

ok() { echo "ok   $*"; }
check() { # check <what> <expected> <actual>
  if [ "$2" = "$3" ]; then ok "$1"; else fail "$1: expected $2, got $3"; fi
}
wait_for() { # wait_for <command...>: up to 10 s
  for _ in $(seq 1 200); do "$@" && return 0; sleep 0.05; done
  return 1
}

# The desktop in a colour that appears nowhere in the skin.
green=00FF00
convert -size 8x8 "xc:#$green" "$work/green.png"
display -window root "$work/green.png" 2>/dev/null
import -window root "$work/root.png"
[ "$(convert "$work/root.png" -format '%[hex:p{3,3}]%[hex:p{1020,760}]' info:)" = "$green$green" ] ||
  { echo "FAIL: could not paint the desktop green"; exit 1; }

# The private home for all three starts.
vexa_fresh "$work"
settings=$vexa_settings

# The main window of the running program (its popup menus carry the same name).
find_window() {
  local w
  wid=
  for w in $(xdotool search --onlyvisible --pid "$vexa_pid" --name '^Vexa Recorder$' 2>/dev/null); do
    [ "$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^WIDTH=//p')" = 270 ] && { wid=$w; return 0; }
  done
  return 1
}
geometry() { # sets x y w h
  local shell
  shell=$([ -n "$wid" ] && xdotool getwindowgeometry --shell "$wid" 2>/dev/null) || { fail "the window is gone"; vexa_finish; }
  eval "$shell"
  x=$X y=$Y w=$WIDTH h=$HEIGHT
}
start() {
  "$bin" >"$work/run$1.log" 2>&1 &
  vexa_pid=$!
  wait_for find_window || { echo "FAIL: no window at start $1"; cat "$work/run$1.log"; exit 1; }
  geometry
  wait_for painted || fail "start $1: the window is not painted"
}
painted() { # the skin drawn in the middle of the window
  [ "$(import -window root -crop "1x1+$((x + 135))+$((y + 100))" png:- | convert - -format '%[hex:p{0,0}]' info:)" != "$green" ]
}
height_is() { [ "$(xdotool getwindowgeometry --shell "$wid" | sed -n 's/^HEIGHT=//p')" = "$1" ]; }
on_top() { xprop -id "$wid" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }

# A click as the polling controls need it: the button takes it once its poll has seen the
# cursor, which its hovered picture shows (vexa_hover in lib.sh).
pressed=
press_button() { # press_button icon|filelist|close
  vexa_window=$wid
  vexa_hover "$1" || fail "the $1 button shows no hover"
  xdotool click 1
  pressed=$1
}

# The close button: the program ends by itself with code 0.
close_with_button() {
  local rc
  press_button close
  if wait_for bash -c "! kill -0 $vexa_pid 2>/dev/null"; then
    wait "$vexa_pid"; rc=$?
    check "close button: exit code" 0 "$rc"
  else
    fail "close button: the program still runs after 10 s"
    kill -9 "$vexa_pid" 2>/dev/null
  fi
  vexa_pid=
}

expect_settings() { # expect_settings <what> <FileList> <OnTop>
  local expected
  expected=$(printf '%s\n' "[General]" "Channels=2" "Dir=$HOME/Documents/" "FileList=$2" "Format=1" \
    "Frequency=44100" "LanguageFile=English.ini" "MP3Bitrate=128" "Mixer=0" "OnTop=$3" \
    "Spectrum=0" "Version=3.3" "WMABitrate=96")
  if [ "$(cat "$settings" 2>/dev/null)" = "$expected" ]; then ok "$1"; else
    fail "$1: the settings file is"; cat "$settings" 2>&1 | sed 's/^/     /'
  fi
}

# The shape: on a screenshot the desktop shows through at the named key pixels (corners and
# notches) and not at the skin pixels beside them, and over the whole window exactly where the
# shipped skin has its key colour (a hole anywhere else would show too).
key_points="0,0 3,0 1,1 0,3 269,0 266,0 268,1 269,3 0,164 1,166 3,167 3,168 1,169 0,171
  269,164 268,166 266,167 266,168 268,169 269,171 0,354 0,357 1,356 3,357 269,354 269,357 268,356 266,357"
skin_points="4,0 2,1 1,2 0,4 265,0 267,1 268,2 269,4 0,163 1,165 2,166 4,167 4,168 2,169 1,170 0,172
  269,163 268,165 265,167 265,168 268,170 269,172 0,353 2,356 4,357 269,353 267,356 265,357 135,100 135,260"
left_alone() { ! vexa_hovered "$1"; }
no_popups() { [ -z "$(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -vx "$wid")" ]; }
shape_check() { # shape_check <what>
  local p px py value bad=0
  geometry
  wait_for painted || fail "$1: the window is not painted"
  # The mouse off the window, so that no hint covers it: the last button pressed shows that its
  # poll has seen the mouse leave, and no hint is open.
  xdotool mousemove 1 1
  vexa_window=$wid
  [ -z "$pressed" ] || wait_for left_alone "$pressed" || fail "$1: the $pressed button still shows the mouse"
  wait_for no_popups || fail "$1: a hint or menu is still open"
  import -window root "$work/shot.png"
  convert "$work/shot.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/window.png"
  local covered= open=
  for p in $key_points; do
    px=${p%,*} py=${p#*,}
    [ "$py" -lt "$h" ] || continue
    value=$(convert "$work/window.png" -format "%[hex:p{$px,$py}]" info:)
    [ "$value" = "$green" ] || covered+=" ($px,$py)=$value"
  done
  for p in $skin_points; do
    px=${p%,*} py=${p#*,}
    [ "$py" -lt "$h" ] || continue
    value=$(convert "$work/window.png" -format "%[hex:p{$px,$py}]" info:)
    [ "$value" != "$green" ] || open+=" ($px,$py)"
  done
  [ -z "$covered" ] || { fail "$1: skin at key pixels$covered"; bad=1; }
  [ -z "$open" ] || { fail "$1: the desktop shows at skin pixels$open"; bad=1; }
  # Whole window: desktop pixels against the skin's key pixels, both as black and white masks.
  convert "$work/window.png" -fill black +opaque "#$green" -fill white -opaque "#$green" "$work/holes.png"
  convert "$skin" -crop "${w}x${h}+0+0" +repage -fill black +opaque '#FF00FF' -fill white -opaque '#FF00FF' "$work/keys.png"
  value=$(compare -metric AE "$work/holes.png" "$work/keys.png" null: 2>&1)
  [ "$value" = 0 ] || { fail "$1: $value pixels differ between the desktop showing through and the skin's key pixels"; bad=1; }
  [ "$bad" -eq 1 ] || ok "$1: the desktop shows exactly at the key pixels"
}

# Drags with the left button in steps, as a hand does.
drag() { # drag <button> <local x> <local y> <dx> <dy>
  local i
  xdotool mousemove $((x + $2)) $((y + $3))
  sleep 0.15
  xdotool mousedown "$1"
  for i in 1 2 3 4 5; do
    xdotool mousemove $((x + $2 + $4 * i / 5)) $((y + $3 + $5 * i / 5))
    sleep 0.05
  done
  xdotool mouseup "$1"
}
at() { [ "$(xdotool getwindowgeometry --shell "$wid" | sed -n 's/^[XY]=//p' | paste -sd,)" = "$1" ]; }
drag_check() { # drag_check <what> <button> <local x> <local y> <dx> <dy> <expected dx> <expected dy>
  local ox=$x oy=$y
  drag "$2" "$3" "$4" "$5" "$6"
  if [ "$7,$8" = 0,0 ]; then sleep 0.5; else wait_for at "$((ox + $7)),$((oy + $8))"; fi
  geometry
  check "$1" "$((ox + $7)),$((oy + $8))" "$x,$y"
}

# --- Start 1: a fresh home ----------------------------------------------------------------
start 1
check "window size" 270x358 "${w}x${h}"
shape_check "shape"
drag_check "drag on the bare skin" 1 160 14 60 40 60 40
drag_check "drag on the title" 1 50 12 -35 -20 -35 -20
drag_check "drag on the folder label" 1 120 180 -30 25 -30 25
drag_check "right-button drag" 3 160 14 40 40 0 0
press_button filelist
wait_for height_is 168
geometry
check "list button hides the list" 270x168 "${w}x${h}"
shape_check "shape without the list"
close_with_button
expect_settings "settings saved with the list hidden" 0 0

# --- Start 2: the list stays hidden; stay on top switched on ------------------------------
start 2
check "size at the next start" 270x168 "${w}x${h}"
press_button filelist
wait_for height_is 358
geometry
check "list button shows the list" 270x358 "${w}x${h}"
# The system menu from the icon button; "Stay on top" is its fifth item.
menu_open() { # a second window of the program, taller than a hint
  local m
  for m in $(xdotool search --onlyvisible --pid "$vexa_pid" --name '^Vexa Recorder$' 2>/dev/null); do
    [ "$m" != "$wid" ] && [ "$(xdotool getwindowgeometry --shell "$m" | sed -n 's/^HEIGHT=//p')" -gt 100 ] && return 0
  done
  return 1
}
stay_on_top_from_menu() {
  press_button icon
  wait_for menu_open || { fail "$1: no system menu"; return 1; }
  sleep 0.2
  xdotool key Down Down Down Down Down Return
}
top_and_found() { find_window && on_top; }
not_top_and_found() { find_window && ! on_top; }
stay_on_top_from_menu "stay on top"
if wait_for top_and_found; then ok "stay on top: the window is above the others"; else fail "stay on top: not above"; find_window; fi
geometry
check "size on top" 270x358 "${w}x${h}"
shape_check "shape on top"
close_with_button
expect_settings "settings saved on top" 1 1

# --- Start 3: on top from the start; switched off --------------------------------------------
start 3
if on_top; then ok "starts on top"; else fail "does not start on top"; fi
check "size at the third start" 270x358 "${w}x${h}"
shape_check "shape when started on top"
stay_on_top_from_menu "stay on top off"
if wait_for not_top_and_found; then ok "stay on top off"; else fail "stay on top off: still above"; find_window; fi
shape_check "shape after stay on top off"
close_with_button
expect_settings "defaults saved" 1 0

vexa_finish "all window cases passed"
