#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 240
# The real program under Xvfb on a folder of generated recordings (WAV 330 Hz, MP3 880 Hz, WMA
# 1760 Hz): a double-click on the first row plays it, Next plays the second, Play pauses it,
# Next while paused plays the third, Stop silences the speaker. What plays is checked by capturing the speaker's monitor.
set -uo pipefail
# shellcheck source=../e2e/lib.sh
source "${VEXA_SOURCE_DIR:?}/tests/e2e/lib.sh"
vexa_begin playback-e2e sound
case=start

vexa_fresh "$work"
mkdir -p "$work/rec"
# The recordings, 60 s each: far longer than any wait below, so that a speaker found silent was
# silenced by the program (a pause, Stop), not by the end of the file.
sox -n -r 44100 -c 2 -b 16 "$work/rec/1 low.wav" synth 60 sine 330 vol 0.5 || fail "sox"
ffmpeg -v error -y -f lavfi -i "sine=frequency=880:sample_rate=44100:duration=60" -ac 2 -af volume=4 \
  -c:a libmp3lame -b:a 128k "$work/rec/2 mid.mp3" || fail "ffmpeg mp3"
ffmpeg -v error -y -f lavfi -i "sine=frequency=1760:sample_rate=44100:duration=60" -ac 2 -af volume=4 \
  -c:a wmav2 -b:a 96k "$work/rec/3 high.wma" || fail "ffmpeg wma"
vexa_write_settings "Dir=$work/rec/" "LanguageFile=English.ini" "FileList=1"

# heard SECONDS: the rough frequency and the RMS amplitude of SECONDS of what the speaker plays
# (counted in the bytes captured, not on the clock: a busy machine may start the capture late),
# after the capture's first 0.1 s; "none" when the capture got no such length within 10 s.
heard() {
  local want
  want=$(awk -v s="$1" 'BEGIN {printf "%d", (s + 0.1) * 44100 * 4}')
  rm -f "$work/cap.raw"
  parec --device=speaker.monitor --latency-msec=20 --format=s16le --rate=44100 --channels=2 >"$work/cap.raw" &
  local p=$!
  captured() { [ "$(stat -c %s "$work/cap.raw" 2>/dev/null || echo 0)" -ge "$want" ]; }
  vexa_until 10 captured
  local got=$?
  kill "$p"; wait "$p" 2>/dev/null
  if [ "$got" -ne 0 ]; then echo none none; return; fi
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/cap.raw" -n remix 1 trim 0.1 "$1" stat 2>&1 |
    awk '/Rough[ \t]+frequency/ {f=$3} /RMS[ \t]+amplitude/ {r=$3} END {print f+0, r+0}'
}
# A click is taken when the window gets to it: what the speaker does is listened to, in short
# stretches, until it is what the click should bring about (up to 10 s), and only then judged.
playing() { # playing FREQ: the last stretch heard holds about FREQ Hz
  read -r f r < <(heard 0.6)
  awk -v f="$f" -v r="$r" -v want="$1" 'BEGIN {exit !(r > 0.05 && f > want*0.95 && f < want*1.05)}'
}
quiet() { read -r f r < <(heard 0.6); awk -v r="$r" 'BEGIN {exit !(r == r + 0 && r < 0.01)}'; }
plays() { # plays FREQ: the speaker comes to play about FREQ Hz
  if vexa_until 10 playing "$1"; then echo "$case: heard $f Hz at RMS $r"; else
    fail "heard ${f} Hz at RMS ${r} for 10 s, expected about $1 Hz"
  fi
}
silent() {
  if vexa_until 10 quiet; then echo "$case: heard RMS $r"; else fail "the speaker still plays after 10 s (RMS $r, $f Hz)"; fi
}
# press BUTTON: a click on a skinned button, once its hovered picture shows that its cursor poll
# sees the mouse (it takes the click only then).
press() {
  vexa_hover "$1" || { fail "the $1 button shows no hover 10 s after the mouse came"; return 1; }
  vexa_press
}
# shows STATES: the display's state symbol comes to show one of STATES (it blinks: up to 10 s).
shows() {
  vexa_wait_symbol "$1" 10 || fail "the display shows $(vexa_symbol) after 10 s, not $1"
}

vexa_start "$bin" "$work/out.log" || { fail "no window"; cat "$work/out.log"; exit 1; }
sleep 0.5

# Nothing is started: one stretch, which must be silent.
read -r f r < <(heard 0.5)
echo "$case: heard RMS $r"
awk -v r="$r" 'BEGIN {exit !(r == r + 0 && r < 0.01)}' || fail "something plays at start (RMS $r, $f Hz)"

# Double-click on the first row of the list (the list starts at 10,218). The two clicks make a
# double-click only within the desktop's interval: one that a stalled xdotool sent as two single
# clicks (they select the row) is sent again, twice at most, and the retries are reported.
case="double-click on the first row"
xdotool mousemove --window "$vexa_window" 60 226
started=no
for attempt in 1 2 3; do
  xdotool click --repeat 2 --delay 60 1
  vexa_until 10 playing 330 && { started=yes; break; }
  echo "$case: no 330 Hz 10 s after double-click $attempt (heard $f Hz at RMS $r)"
done
if [ "$started" = yes ]; then echo "$case: heard $f Hz at RMS $r (double-click $attempt)"; else
  fail "heard ${f} Hz at RMS ${r} after three double-clicks, expected about 330 Hz"
fi
shows 'playing|none'

case="Next"
press next && plays 880

case="Play while playing: pause"
press play && shows 'play-paused|none' && silent
# The pause holds: the symbol seen is the paused one.
shows play-paused

case="Next while paused on item 2 of 3: item 3 plays"
press next && plays 1760

case="Stop"
press stop && silent
shows idle

vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
vexa_finish PASS cat "$work/out.log"
