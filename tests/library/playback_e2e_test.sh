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

# shows STATES: the display's state symbol comes to show one of STATES (it blinks: up to 10 s).
shows() {
  vexa_wait_symbol "$1" 10 || fail "the display shows $(vexa_symbol) after 10 s, not $1"
}

vexa_start "$bin" "$work/out.log" || { fail "no window"; cat "$work/out.log"; exit 1; }
sleep 0.5

# Nothing is started: one stretch, which must be silent.
read -r f r < <(vexa_heard 0.5)
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
  vexa_until 10 vexa_playing 330 && { started=yes; break; }
  echo "$case: no 330 Hz 10 s after double-click $attempt (heard $f Hz at RMS $r)"
done
if [ "$started" = yes ]; then echo "$case: heard $f Hz at RMS $r (double-click $attempt)"; else
  fail "heard ${f} Hz at RMS ${r} after three double-clicks, expected about 330 Hz"
fi
shows 'playing|none'

case="Next"
vexa_press_button next && vexa_plays 880

case="Play while playing: pause"
vexa_press_button play && shows 'play-paused|none' && vexa_silent
# The pause holds: the symbol seen is the paused one.
shows play-paused

case="Next while paused on item 2 of 3: item 3 plays"
vexa_press_button next && vexa_plays 1760

case="Stop"
vexa_press_button stop && vexa_silent
shows idle

vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
vexa_finish PASS cat "$work/out.log"
