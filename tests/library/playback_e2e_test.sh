#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 180
# The real program under Xvfb on a folder of generated recordings (WAV 330 Hz, MP3 880 Hz, WMA
# 1760 Hz): a double-click on the first row plays it, Next plays the second, Play pauses it,
# Next while paused plays the third, Stop silences the speaker. What plays is checked by capturing the speaker's monitor.
set -uo pipefail
# shellcheck source=../e2e/lib.sh
source "${VEXA_SOURCE_DIR:?}/tests/e2e/lib.sh"
bin="${VEXA_BINARY_DIR:?}/vexa-recorder"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
[ -n "${PULSE_SERVER:-}" ] || { echo "FAIL: no PULSE_SERVER; run under scripts/test.sh or scripts/services.sh"; exit 1; }
work=$(mktemp -d /tmp/vexa-playback-e2e.XXXXXX)
pid=""
vexa_holder=""
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  [ -n "$vexa_holder" ] && kill "$vexa_holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
vexa_hold_display
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" LANG=C
unset LC_ALL QT_QPA_PLATFORM
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Quandrel" "$work/rec"
chmod 700 "$XDG_RUNTIME_DIR"

# The recordings, 8 s each.
sox -n -r 44100 -c 2 -b 16 "$work/rec/1 low.wav" synth 8 sine 330 vol 0.5 || fail "sox"
ffmpeg -v error -y -f lavfi -i "sine=frequency=880:sample_rate=44100:duration=8" -ac 2 -af volume=4 \
  -c:a libmp3lame -b:a 128k "$work/rec/2 mid.mp3" || fail "ffmpeg mp3"
ffmpeg -v error -y -f lavfi -i "sine=frequency=1760:sample_rate=44100:duration=8" -ac 2 -af volume=4 \
  -c:a wmav2 -b:a 96k "$work/rec/3 high.wma" || fail "ffmpeg wma"
printf '[General]\nDir=%s/rec/\nLanguageFile=English.ini\nFileList=1\n' "$work" \
  > "$XDG_CONFIG_HOME/Quandrel/VexaRecorder.ini"

# heard SECONDS: the rough frequency and the RMS amplitude of what the speaker plays.
heard() {
  rm -f "$work/cap.wav"
  parecord --device=speaker.monitor --latency-msec=20 --file-format=wav "$work/cap.wav" &
  local rec=$!
  sleep "$1"
  kill "$rec"; wait "$rec" 2>/dev/null
  sox "$work/cap.wav" -n remix 1 trim 0.1 stat 2>&1 |
    awk '/Rough[ \t]+frequency/ {f=$3} /RMS[ \t]+amplitude/ {r=$3} END {print f+0, r+0}'
}
# near FREQ: the speaker plays about FREQ Hz (within 5 %).
near() {
  read -r f r < <(heard 0.8)
  echo "$2: heard $f Hz at RMS $r"
  awk -v f="$f" -v r="$r" -v want="$1" 'BEGIN {exit !(r > 0.05 && f > want*0.95 && f < want*1.05)}' ||
    fail "$2: heard ${f} Hz at RMS ${r}, expected about $1 Hz"
}
# click X Y: a click on a skinned control (they poll the cursor every 100 ms: let it rest).
click() { xdotool mousemove --window "$window" "$1" "$2"; sleep 0.3; xdotool click 1; sleep 0.3; }

"$bin" >"$work/out.log" 2>&1 &
pid=$!
window=""
for _ in $(seq 1 200); do
  window=$(xdotool search --onlyvisible --pid "$pid" --name '^Vexa Recorder$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.05
done
if [ -z "$window" ]; then
  fail "no window"; cat "$work/out.log"; exit 1
fi
sleep 0.5

read -r f r < <(heard 0.5)
awk -v r="$r" 'BEGIN {exit !(r < 0.01)}' || fail "something plays at start (RMS $r)"

# Double-click on the first row of the list (the list starts at 10,218).
xdotool mousemove --window "$window" 60 226; sleep 0.2
xdotool click --repeat 2 --delay 60 1
sleep 0.4
near 330 "after the double-click on the first row"

click 143 140   # Next
sleep 0.3
near 880 "after Next"

click 54 141    # Play while playing: pause
sleep 0.3
read -r f r < <(heard 0.5)
awk -v r="$r" 'BEGIN {exit !(r < 0.01)}' || fail "still playing after pause (RMS $r, $f Hz)"

click 143 140   # Next while paused on item 2 of 3: item 3 plays
sleep 0.3
near 1760 "after Next while paused"

click 83 141    # Stop
sleep 0.3
read -r f r < <(heard 0.6)
awk -v r="$r" 'BEGIN {exit !(r < 0.01)}' || fail "still playing after Stop (RMS $r, $f Hz)"

kill -TERM "$pid"
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
wait "$pid"; rc=$?; pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc"
[ "$failures" -eq 0 ] && echo "PASS" || { cat "$work/out.log"; exit 1; }
