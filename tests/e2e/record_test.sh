#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# Recording from the real window under Xvfb, with the private sound server whose microphone hears
# 440 Hz. Record and Stop pressed with the mouse give Vexa_001 in WAV, MP3 and WMA: the chosen
# codec, rate and channels, about 2 s long, the tone, and a complete file as soon as Stop is
# pressed. A pause inside a recording is absent from the file, Stop while paused completes the
# file, and the next recording takes the next number. SIGTERM during a WAV or MP3 recording,
# running or paused, and the window's Close button during a WMA recording end the program with 0
# and leave a finished file as long as the time recorded. A recordings folder that does not
# exist, or no sound server, gives a box and no file.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
bin="${VEXA_BINARY_DIR:?}/vexa-recorder"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
[ -n "${PULSE_SERVER:-}" ] || { echo "FAIL: no PULSE_SERVER; run under scripts/test.sh or scripts/services.sh"; exit 1; }
work=$(mktemp -d /tmp/vexa-record.XXXXXX)
vexa_holder=""
cleanup() {
  [ -n "${vexa_pid:-}" ] && kill -9 "$vexa_pid" 2>/dev/null
  [ -n "$vexa_holder" ] && kill "$vexa_holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
vexa_hold_display
failures=0
fail() { echo "FAIL [$case]: $*"; failures=$((failures + 1)); }

# analyse FILE: prints "codec rate channels duration decoded frequency level decode_errors":
# what ffprobe says of the first audio stream, the decoded length in seconds, the strongest
# frequency in Hz of the middle second of the first channel, its level in dBFS, and the number
# of lines the decoder complained with.
analyse() {
  python3 - "$1" <<'PY'
import json, math, subprocess, sys

path = sys.argv[1]
probe = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                        "stream=codec_name,sample_rate,channels:format=duration", "-of", "json", path],
                       capture_output=True, text=True)
info = json.loads(probe.stdout or "{}")
stream = (info.get("streams") or [{}])[0]
codec = stream.get("codec_name", "none")
rate = int(stream.get("sample_rate", 0) or 0)
channels = int(stream.get("channels", 0) or 0)
try:
    duration = float(info.get("format", {}).get("duration", "nan"))
except ValueError:
    duration = float("nan")

def decode(extra):
    run = subprocess.run(["ffmpeg", "-v", "error", "-nostdin", "-i", path, "-map", "0:a:0"] + extra +
                         ["-f", "s16le", "-acodec", "pcm_s16le", "-"], capture_output=True)
    return run.stdout, len([l for l in run.stderr.splitlines() if l.strip()])

raw, errors = decode([])
decoded = len(raw) / (2.0 * channels * rate) if rate and channels else 0.0

# The first channel at 8 kHz is plenty for a 440 Hz tone.
fs = 8000
mono, more = decode(["-af", "pan=mono|c0=c0", "-ar", str(fs)])
errors += more
samples = [int.from_bytes(mono[i:i + 2], "little", signed=True) / 32768.0
           for i in range(0, len(mono) - 1, 2)]
middle = len(samples) // 2
segment = samples[max(0, middle - fs // 2):middle + fs // 2]

def power(x, f):
    # Goertzel: the energy of x at frequency f.
    c = 2.0 * math.cos(2.0 * math.pi * f / fs)
    s1 = s2 = 0.0
    for v in x:
        s1, s2 = v + c * s1 - s2, s1
    return s1 * s1 + s2 * s2 - c * s1 * s2

def hann(x):
    n = len(x)
    return [v * (0.5 - 0.5 * math.cos(2.0 * math.pi * i / (n - 1))) for i, v in enumerate(x)] if n > 1 else x

frequency = 0.0
level = -200.0
if len(segment) >= fs // 10:
    rms = math.sqrt(sum(v * v for v in segment) / len(segment))
    level = 20.0 * math.log10(rms) if rms > 0 else -200.0
    # A coarse search over 0.1 s in 5 Hz steps, then 0.5 Hz steps over the whole second.
    short = hann(segment[:fs // 10])
    coarse = max(range(40, 3960, 5), key=lambda f: power(short, f))
    whole = hann(segment)
    candidates = [coarse - 15 + 0.5 * k for k in range(61)]
    frequency = max(candidates, key=lambda f: power(whole, f))
print(codec, rate, channels, "%.3f" % duration, "%.3f" % decoded, "%.1f" % frequency, "%.1f" % level, errors)
PY
}

# in_range VALUE LOW HIGH
in_range() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN {exit !(v == v + 0 && v >= lo && v <= hi)}'; }

# check_audio FILE CODEC RATE CHANNELS MIN_SECONDS MAX_SECONDS
check_audio() {
  local file=$1 codec rate channels duration decoded frequency level errors
  read -r codec rate channels duration decoded frequency level errors < <(analyse "$file")
  echo "  $(basename "$file"): $codec $rate Hz $channels ch, $duration s (decoded $decoded s), peak $frequency Hz at $level dBFS"
  [ "$codec" = "$2" ] || fail "$(basename "$file") has codec $codec, not $2"
  [ "$rate" = "$3" ] || fail "$(basename "$file") has $rate Hz, not $3"
  [ "$channels" = "$4" ] || fail "$(basename "$file") has $channels channels, not $4"
  in_range "$duration" "$5" "$6" || fail "$(basename "$file") lasts $duration s, not $5-$6 s"
  in_range "$decoded" "$5" "$6" || fail "$(basename "$file") decodes to $decoded s, not $5-$6 s"
  [ "$errors" -eq 0 ] || fail "$(basename "$file"): the decoder reported $errors error line(s)"
  in_range "$level" -40 0 || fail "$(basename "$file") is silent ($level dBFS)"
  in_range "$frequency" 435 445 || fail "$(basename "$file") peaks at $frequency Hz, not 440"
}

# check_wav_header FILE: RIFF size = file size - 8, "data" at 36, data size = file size - 44.
check_wav_header() {
  local file=$1 size riff tag data
  size=$(stat -c %s "$file")
  riff=$(od -An -tu4 -j4 -N4 "$file" | tr -d ' ')
  tag=$(dd if="$file" bs=1 skip=36 count=4 2>/dev/null)
  data=$(od -An -tu4 -j40 -N4 "$file" | tr -d ' ')
  [ "$riff" = "$((size - 8))" ] || fail "$(basename "$file"): RIFF size $riff, file size $size - 8 = $((size - 8))"
  [ "$tag" = "data" ] || fail "$(basename "$file"): no data chunk at byte 36 (\"$tag\")"
  [ "$data" = "$((size - 44))" ] || fail "$(basename "$file"): data size $data, file size $size - 44 = $((size - 44))"
}

# only_files DIR NAME...: the folder holds exactly these files.
only_files() {
  local found expected
  found=$(cd "$1" && ls -A | sort | tr '\n' ' ')
  shift
  expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [ "$found" = "$expected" ] || fail "recordings folder holds \"$found\", expected \"$expected\""
}

# sleep_until START SECONDS: sleeps until SECONDS after START (a vexa_now time).
sleep_until() {
  local left
  left=$(awk -v s="$1" -v d="$2" -v n="$(vexa_now)" 'BEGIN {l = s + d - n; printf "%.3f", (l > 0 ? l : 0)}')
  sleep "$left"
}

# begin NAME FORMAT CHANNELS FREQUENCY: a fresh home whose settings choose this format and a
# recordings folder of its own, and the program started in it.
begin() {
  case=$1
  vexa_fresh "$work/$case"
  rec="$work/$case/recordings"
  mkdir -p "$rec"
  vexa_write_settings "Format=$2" "Channels=$3" "Frequency=$4" "Dir=$rec/"
  vexa_start "$bin" "$work/$case.out" && return 0
  fail "no visible window named \"Vexa Recorder\""
  sed 's/^/  | /' "$work/$case.out"
  [ -n "$vexa_pid" ] && kill -9 "$vexa_pid" 2>/dev/null
  vexa_pid=""
  return 1
}

# finish: SIGTERM, expecting the end with code 0.
finish() {
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || { fail "exit code $vexa_rc after SIGTERM"; sed 's/^/  | /' "$work/$case.out"; }
}

# record_for FILE SECONDS: presses Record, waits for FILE, rests the mouse on Stop and presses it
# SECONDS after the Record press. Returns 1 when no file appears.
record_for() {
  local start
  vexa_point $VEXA_RECORD_XY
  start=$(vexa_now)
  vexa_press
  vexa_wait_file "$1" 3 || { fail "Record made no $(basename "$1")"; return 1; }
  vexa_point $VEXA_STOP_XY
  sleep_until "$start" "$2"
  vexa_press
}

# Settles after Stop: the file is complete now, while the program still runs.
settle() { sleep 0.8; }

# --- Record and Stop in each format; then pause and continue (MP3), Stop while paused (WMA) ---
# The chosen channels and rate, and what the file holds: WMA files are always 44100 Hz stereo.
for row in "wav 0 2 44100 pcm_s16le 44100 2" "mp3 1 1 48000 mp3 48000 1" "wma 2 1 22050 wmav2 44100 2"; do
  read -r ext format in_channels in_frequency codec frequency channels <<<"$row"
  begin "record-$ext" "$format" "$in_channels" "$in_frequency" || continue
  echo "$case: recording $in_frequency Hz $in_channels ch into $codec $frequency Hz $channels ch"
  if record_for "$rec/Vexa_001.$ext" 2.0; then
    settle
    [ "$ext" = wav ] && check_wav_header "$rec/Vexa_001.wav"
    check_audio "$rec/Vexa_001.$ext" "$codec" "$frequency" "$channels" 1.6 2.6
  fi
  if [ "$ext" = mp3 ]; then
    # Record 1 s, pause 1 s, continue 1 s: the file holds 2 s, under the next number.
    vexa_point $VEXA_RECORD_XY
    start=$(vexa_now)
    vexa_press
    if vexa_wait_file "$rec/Vexa_002.mp3" 3; then
      sleep_until "$start" 1.0
      vexa_press
      sleep 1.0
      start=$(vexa_now)
      vexa_press
      vexa_point $VEXA_STOP_XY
      sleep_until "$start" 1.0
      vexa_press
      settle
      check_audio "$rec/Vexa_002.mp3" mp3 "$frequency" "$channels" 1.6 2.6
    else
      fail "the second Record made no Vexa_002.mp3"
    fi
  fi
  if [ "$ext" = wma ]; then
    # Record 1 s, pause, Stop while paused: the file is completed and holds the 1 s.
    vexa_point $VEXA_RECORD_XY
    start=$(vexa_now)
    vexa_press
    if vexa_wait_file "$rec/Vexa_002.wma" 3; then
      sleep_until "$start" 1.0
      vexa_press
      vexa_point $VEXA_STOP_XY
      sleep 0.5
      vexa_press
      settle
      check_audio "$rec/Vexa_002.wma" wmav2 "$frequency" "$channels" 0.6 1.5
    else
      fail "the second Record made no Vexa_002.wma"
    fi
  fi
  finish
  case $ext in
    wav) only_files "$rec" Vexa_001.wav ;;
    *) only_files "$rec" "Vexa_001.$ext" "Vexa_002.$ext" ;;
  esac
done

# --- SIGTERM or Close during a recording, running or paused --------------------------------
for row in "wav 0 pcm_s16le sigterm" "mp3 1 mp3 sigterm" "wav 0 pcm_s16le paused-sigterm" "wma 2 wmav2 close"; do
  read -r ext format codec how <<<"$row"
  begin "$how-$ext" "$format" 2 44100 || continue
  vexa_point $VEXA_RECORD_XY
  start=$(vexa_now)
  vexa_press
  if ! vexa_wait_file "$rec/Vexa_001.$ext" 3; then
    fail "Record made no Vexa_001.$ext"
    finish
    continue
  fi
  case $how in
    paused-sigterm)
      echo "$case: SIGTERM 0.5 s after a pause 1.0 s into a recording"
      sleep_until "$start" 1.0
      recorded=$(vexa_since "$start")
      vexa_press
      sleep 0.5
      finish
      ;;
    sigterm)
      echo "$case: SIGTERM 1.5 s into a recording"
      sleep_until "$start" 1.5
      recorded=$(vexa_since "$start")
      finish
      ;;
    close)
      echo "$case: the window's Close button 1.5 s into a recording"
      vexa_point $VEXA_CLOSE_XY
      sleep_until "$start" 1.5
      recorded=$(vexa_since "$start")
      vexa_press
      vexa_wait_end
      [ "$vexa_rc" = 0 ] || { fail "exit code $vexa_rc after Close"; sed 's/^/  | /' "$work/$case.out"; }
      ;;
  esac
  [ "$ext" = wav ] && check_wav_header "$rec/Vexa_001.wav"
  low=$(awk -v t="$recorded" 'BEGIN {printf "%.3f", t - 0.5}')
  high=$(awk -v t="$recorded" 'BEGIN {printf "%.3f", t + 0.5}')
  check_audio "$rec/Vexa_001.$ext" "$codec" 44100 2 "$low" "$high"
  only_files "$rec" "Vexa_001.$ext"
done

# --- A recordings folder that does not exist -----------------------------------------------
# Record says so in a box and makes nothing; the window stays usable, and SIGTERM with the box
# open still ends the program with 0.
case=missing-folder
vexa_fresh "$work/$case"
vexa_write_settings "Format=0" "Channels=2" "Frequency=44100" "Dir=$work/$case/missing/deeper/"
boxes() { xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -vx "$vexa_window" | wc -l; }
# wait_boxes N: waits up to 3 s for N open boxes.
wait_boxes() {
  local _
  for _ in $(seq 1 60); do [ "$(boxes)" -eq "$1" ] && return 0; sleep 0.05; done
  return 1
}
if vexa_start "$bin" "$work/$case.out"; then
  echo "$case: Record into $work/$case/missing/deeper/"
  vexa_click $VEXA_RECORD_XY
  wait_boxes 1 || fail "Record showed no box ($(boxes) open)"
  # Each box is answered with Return (the writer's own box may come before the program's).
  for _ in 1 2 3; do [ "$(boxes)" -gt 0 ] || break; xdotool key Return; sleep 0.4; done
  wait_boxes 0 || fail "$(boxes) box(es) still open after Return"
  kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
  vexa_click $VEXA_RECORD_XY
  wait_boxes 1 || fail "a second Record showed no box ($(boxes) open)"
  finish
  made=$(find "$work/$case" -path "$work/$case/home" -prune -o -path "$work/$case/run" -prune -o -type f -print)
  [ -z "$made" ] || fail "files were made: $made"
else
  fail "no visible window named \"Vexa Recorder\""
fi

# --- No sound server ----------------------------------------------------------------------
# The start says so in a box; the window still comes up, and Record says so again and leaves no
# file.
case=no-sound-server
vexa_fresh "$work/$case"
rec="$work/$case/recordings"
mkdir -p "$rec"
vexa_write_settings "Format=1" "Channels=2" "Frequency=44100" "Dir=$rec/"
# windows: the program's visible windows as "id WIDTHxHEIGHT" lines.
windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null); do
    echo "$w $(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p')"
  done
}
echo "$case: PULSE_SERVER names a socket nobody listens on"
PULSE_SERVER="unix:$work/$case/no-server" "$bin" >"$work/$case.out" 2>&1 &
vexa_pid=$!
vexa_window=""
for _ in $(seq 1 200); do
  [ -n "$(windows | grep -v ' 270x358$')" ] && break
  sleep 0.05
done
if [ -z "$(windows | grep -v ' 270x358$')" ]; then
  fail "no box at start (windows: $(windows | tr '\n' ' '))"
fi
for _ in 1 2 3; do [ -n "$(windows | grep -v ' 270x358$')" ] || break; xdotool key Return; sleep 0.4; done
for _ in $(seq 1 100); do
  vexa_window=$(windows | awk '$2 == "270x358" {print $1; exit}')
  [ -n "$vexa_window" ] && break
  sleep 0.05
done
if [ -n "$vexa_window" ]; then
  [ "$(boxes)" -eq 0 ] || fail "$(boxes) box(es) still open after Return"
  vexa_click $VEXA_RECORD_XY
  wait_boxes 1 || fail "Record without a sound server showed no box ($(boxes) open)"
  sleep 0.3
  made=$(ls -A "$rec")
  [ -z "$made" ] || fail "files were made: $made"
else
  fail "no main window after the box"
fi
finish

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all recording cases passed"
