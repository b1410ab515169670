#!/usr/bin/env bash
# ctest-label: e2e
# The skinned window on a real X display (Xvfb, no window manager), shown by the layout preview
# program: its size, the desktop showing through the cut-out corners and side notches, moving
# it by dragging the bare skin and the title, the list button switching the height, and the
# close button ending the program.
set -uo pipefail
bin=${VEXA_BINARY_DIR:?}/tools/skinpreview
[ -x "$bin" ] || { echo "FAIL: $bin not built"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY (start the services first)"; exit 1; }
work=$(mktemp -d /tmp/vexa-skin-e2e.XXXXXX)
pid=
# Xvfb resets itself whenever its last client leaves and refuses connections meanwhile: one
# client stays connected for the whole test.
xprop -root -spy >/dev/null 2>&1 &
holder=$!
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; kill "$holder" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
sleep 0.2
failures=0
check() { # check <what> <expected> <actual>
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected $2, got $3"; failures=$((failures + 1)); fi
}
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
geometry() { # prints "X Y W H" of the window
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  echo "$X $Y $WIDTH $HEIGHT"
}
wait_for() { # wait_for <command...>: up to 5 s
  for _ in $(seq 1 100); do "$@" && return 0; sleep 0.05; done
  return 1
}
# A click as the polling controls need it: rest on the spot for more than two poll intervals.
click_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.3
  xdotool click 1
}

import -window root "$work/before.png"
"$bin" >"$work/out.log" 2>&1 &
pid=$!
wid=
find_window() { wid=$(xdotool search --onlyvisible --name '^Vexa Recorder$' 2>/dev/null | head -1); [ -n "$wid" ]; }
wait_for find_window || { echo "FAIL: no window"; cat "$work/out.log"; exit 1; }
sleep 0.5
read -r x y w h < <(geometry)
check "window size" "270x358" "${w}x${h}"

# What lies behind shows through exactly at the key pixels.
import -window root "$work/after.png"
for p in "0 0" "3 0" "0 3" "269 0" "266 0" "269 3" "0 357" "3 357" "269 357" "266 357" \
         "0 164" "0 171" "3 167" "3 168" "269 164" "269 171" "266 167" "266 168"; do
  set -- $p
  check "behind at ($1,$2)" "$(pixel "$work/before.png" $((x + $1)) $((y + $2)))" \
        "$(pixel "$work/after.png" $((x + $1)) $((y + $2)))"
done
for p in "4 0" "0 4" "2 1" "265 0" "4 357" "0 163" "0 172" "4 167" "1 165" "265 167"; do
  set -- $p
  before=$(pixel "$work/before.png" $((x + $1)) $((y + $2)))
  after=$(pixel "$work/after.png" $((x + $1)) $((y + $2)))
  if [ "$before" != "$after" ]; then echo "ok   skin at ($1,$2)"; else
    echo "FAIL skin at ($1,$2) shows what lies behind"; failures=$((failures + 1)); fi
done

# Dragging the bare skin of the title bar, then the title label, moves the window.
drag() { # drag <local x> <local y> <dx> <dy>
  xdotool mousemove $((x + $1)) $((y + $2)) mousedown 1
  for i in 1 2 3 4 5; do
    xdotool mousemove $((x + $1 + $3 * i / 5)) $((y + $2 + $4 * i / 5))
    sleep 0.05
  done
  xdotool mouseup 1
  sleep 0.2
}
drag 160 14 40 30
read -r nx ny _ _ < <(geometry)
check "drag on the skin" "$((x + 40)),$((y + 30))" "$nx,$ny"
x=$nx; y=$ny
drag 50 12 -25 -10
read -r nx ny _ _ < <(geometry)
check "drag on the title" "$((x - 25)),$((y - 10))" "$nx,$ny"
x=$nx; y=$ny
# The right button moves nothing.
xdotool mousemove $((x + 160)) $((y + 14)) mousedown 3 mousemove $((x + 200)) $((y + 60)) mouseup 3
sleep 0.2
read -r nx ny _ _ < <(geometry)
check "right-button drag" "$x,$y" "$nx,$ny"

# The list button halves the height, and brings the list back.
click_at $((x + 210)) $((y + 14))
wait_for bash -c "[ \"\$(xdotool getwindowgeometry --shell $wid | grep HEIGHT)\" = HEIGHT=168 ]"
read -r _ _ w h < <(geometry)
check "list hidden" "270x168" "${w}x${h}"
xdotool mousemove $((x + 150)) $((y + 60))
click_at $((x + 210)) $((y + 14))
wait_for bash -c "[ \"\$(xdotool getwindowgeometry --shell $wid | grep HEIGHT)\" = HEIGHT=358 ]"
read -r _ _ w h < <(geometry)
check "list shown" "270x358" "${w}x${h}"

# The close button ends the program.
click_at $((x + 254)) $((y + 14))
gone() { ! kill -0 "$pid" 2>/dev/null; }
if wait_for gone; then echo "ok   closed"; pid=; else echo "FAIL close button left the program running"; failures=$((failures + 1)); fi

# Stay on top switched on and off again: the recreated window keeps its shape.
import -window root "$work/before.png"
"$bin" --on-top-twice >"$work/out2.log" 2>&1 &
pid=$!
wid=
wait_for find_window || { echo "FAIL: no window"; cat "$work/out2.log"; exit 1; }
sleep 1.2
wait_for find_window
read -r x y w h < <(geometry)
check "size after stay on top twice" "270x358" "${w}x${h}"
import -window root "$work/after.png"
for p in "0 0" "269 0" "0 357" "269 357" "0 164" "269 171"; do
  set -- $p
  check "behind at ($1,$2) after stay on top twice" "$(pixel "$work/before.png" $((x + $1)) $((y + $2)))" \
        "$(pixel "$work/after.png" $((x + $1)) $((y + $2)))"
done

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all passed"
