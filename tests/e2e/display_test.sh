#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 240
# The live display of the real window under Xvfb, read from screenshots of the window (import
# -window) while the private sound server's microphone hears 440 Hz:
#  - recording in Blaze: a lit column at the tone's band (FFT bin 440 * 1024 / 44100 = 10, band
#    5) and none far from it, the counter changes between two shots, both meters lit;
#    after Stop the box shows exactly what it showed at the start (stop symbol, "00:00", no bars);
#  - playing a 1000 Hz file (bin 23, band 18): the same, at band 18;
#  - recording in Waveform: a line crosses the box (every column left of the counter has a
#    white pixel); after Stop the start picture again.
# The shots are also checked for nothing but the skin and the counter in Idle.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
vexa_begin display sound

# shot NAME: a screenshot of the window as $work/NAME.png.
shot() { import -window "$vexa_window" "$work/$1.png" 2>/dev/null; }

# report NAME: what the display shows in that shot, as "key=value" words:
#   lit=          columns of the spectrum box with a bar pixel (red 255, blue 0) in rows 16-43
#   white=        how many of the columns 0-40 have a white pixel (the waveform line)
#   left= right=  bar pixels in the left and right meter
#   counter=      a digest of the counter's digits (its yellow pixels in box x 53-87, rows 4-14)
#   box=          a digest of the whole spectrum box
report() {
  convert "$work/$1.png" -depth 8 rgb:- | python3 -c '
import hashlib, sys
data = sys.stdin.buffer.read()
W = 270
def px(x, y):
    i = (y * W + x) * 3
    return data[i], data[i + 1], data[i + 2]
def bar(p):
    return p[0] >= 250 and p[2] <= 10
bx, by = 10, 56
lit = [x for x in range(88) if any(bar(px(bx + x, by + y)) for y in range(16, 44))]
white = sum(1 for x in range(41) if any(px(bx + x, by + y) == (255, 255, 255) for y in range(44)))
left = sum(1 for x in range(154) for y in range(0, 3) if bar(px(104 + x, 90 + y)))
right = sum(1 for x in range(154) for y in range(7, 10) if bar(px(104 + x, 90 + y)))
def digest(x0, y0, w, h, keep=lambda p: p):
    return hashlib.md5(bytes(v for y in range(y0, y0 + h) for x in range(x0, x0 + w)
                             for v in keep(px(x, y)))).hexdigest()[:10]
# The counter by its yellow digits alone: the waveform line crosses the same pixels.
digits = lambda p: (1,) if p == (255, 255, 0) else (0,)
print("lit=" + ",".join(map(str, lit)), "white=%d" % white, "left=%d" % left, "right=%d" % right,
      "counter=" + digest(bx + 53, by + 4, 35, 11, digits), "box=" + digest(bx, by, 88, 44))
'
}
# value REPORT KEY
value() { tr ' ' '\n' <<<"$1" | sed -n "s/^$2=//p"; }
# has_column LIST X: the comma list holds X.
has_column() { tr ',' '\n' <<<"$1" | grep -qx "$2"; }

# begin NAME SETTINGS...: a fresh home with its own recordings folder, the program started.
begin() {
  case=$1
  shift
  vexa_recording_home "Format=0" "Channels=2" "Frequency=44100" "$@"
}
# The window is ready once its display shows the stop symbol.
start() {
  vexa_start "$bin" "$work/$case.out" && vexa_wait_symbol idle 10 && return 0
  fail "no visible window named \"Vexa Recorder\" showing the stop symbol"
  return 1
}
finish() {
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc after SIGTERM"
  [ -s "$work/$case.out" ] && sed 's/^/  | /' "$work/$case.out"
}

# The display follows the sound as the window gets to it: each picture below is taken again
# until it shows what is expected (up to 10 s), and judged on the last one taken.
# showing: the running display: the tone's band (or the line), both meters, the counter moved.
showing() {
  shot first || return 1
  first=$(report first)
  if [ "$waveform" = 1 ]; then
    [ "$(value "$first" white)" = 41 ] || return 1
  else
    has_column "$(value "$first" lit)" "$band" || return 1
  fi
  [ "$(value "$first" left)" -gt 0 ] && [ "$(value "$first" right)" -gt 0 ] &&
    [ "$(value "$first" counter)" != "$(value "$idle" counter)" ]
}
# counting: a later picture whose counter differs from the first one's.
counting() {
  shot second || return 1
  second=$(report second)
  [ "$(value "$first" counter)" != "$(value "$second" counter)" ]
}
# stopped: the box as at the start and dark meters.
stopped() {
  shot stopped || return 1
  after=$(report stopped)
  [ "$(value "$after" box)" = "$(value "$idle" box)" ] && [ "$(value "$after" left)$(value "$after" right)" = 00 ]
}

# run_case NAME BUTTON BAND FAR_COLUMN WAVEFORM: start, Idle shot, press BUTTON (record or
# play), the running display, its counter moving on, Stop, the Idle picture again.
run_case() {
  local name=$1 button=$2 band=$3 far=$4 waveform=$5 idle first second after
  start || return
  shot idle || fail "no screenshot"
  idle=$(report idle)
  [ -z "$(value "$idle" lit)" ] || fail "Idle box shows bars in columns $(value "$idle" lit)"
  [ "$(value "$idle" white)" = 0 ] || fail "Idle box shows a line"
  [ "$(value "$idle" left)$(value "$idle" right)" = 00 ] || fail "Idle meters are lit: $idle"
  vexa_press_button "$button"
  vexa_until 10 showing
  vexa_until 10 counting
  echo "$case: idle: $idle"
  echo "$case: running: $first"
  echo "$case: later: $second"
  if [ "$waveform" = 1 ]; then
    [ "$(value "$first" white)" = 41 ] || fail "the waveform line does not cross the box: $(value "$first" white) of 41 columns"
  else
    has_column "$(value "$first" lit)" "$band" || fail "no bar at band $band (lit: $(value "$first" lit))"
    has_column "$(value "$first" lit)" "$far" && fail "a bar at column $far, far from the tone"
  fi
  [ "$(value "$first" left)" -gt 0 ] || fail "the left meter is dark"
  [ "$(value "$first" right)" -gt 0 ] || fail "the right meter is dark"
  [ "$(value "$first" counter)" != "$(value "$second" counter)" ] || fail "the counter did not change in 10 s"
  [ "$(value "$first" counter)" != "$(value "$idle" counter)" ] || fail "the counter still shows 00:00"
  vexa_press_button stop
  vexa_until 10 stopped
  [ "$(value "$after" box)" = "$(value "$idle" box)" ] ||
    fail "after Stop the box differs from the start (stop symbol, 00:00, no bars): $after"
  [ "$(value "$after" left)$(value "$after" right)" = 00 ] || fail "meters lit after Stop: $after"
  finish
}

begin record-blaze "Spectrum=0"
run_case record-blaze record 5 60 0

begin play-blaze "Spectrum=0"
sox -n -r 44100 -c 2 -b 16 "$rec/tone.wav" synth 8 sine 1000 vol 0.5
run_case play-blaze play 18 60 0

begin record-waveform "Spectrum=2"
run_case record-waveform record 5 60 1

vexa_finish "all display cases passed"
