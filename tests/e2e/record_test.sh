#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# Recording from the real window under Xvfb, with the private sound server whose microphone hears
# 440 Hz. Record and Stop pressed with the mouse give Vexa_001 in WAV, MP3 and WMA: the chosen
# codec, rate and channels, about 2 s long, the tone, and a complete file once the program lets
# go of it. A pause inside a recording is absent from the file, Stop while paused completes the
# file, and the next recording takes the next number. SIGTERM during a WAV or MP3 recording,
# running or paused, and the window's Close button during a WMA recording end the program with 0
# and leave a finished file as long as the time recorded. Quick taps (the mouse clicks the moment
# it reaches Record or Stop) start and end takes. A recordings folder that cannot be made, or no
# sound server, gives a box and no file.
# Lengths are checked against the clock so that a busy machine only widens what is accepted: a
# take lasts no longer than from just before its Record press to when its end was seen, and no
# less than from when its audio was seen to when it was ended (vexa_take_range in lib.sh).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
vexa_begin record sound

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

# check_audio FILE CODEC RATE CHANNELS MIN_SECONDS MAX_SECONDS
check_audio() {
  local file=$1 codec rate channels duration decoded frequency level errors
  read -r codec rate channels duration decoded frequency level errors < <(analyse "$file")
  echo "  $(basename "$file"): $codec $rate Hz $channels ch, $duration s (decoded $decoded s; $5-$6 s expected), peak $frequency Hz at $level dBFS"
  [ "$codec" = "$2" ] || fail "$(basename "$file") has codec $codec, not $2"
  [ "$rate" = "$3" ] || fail "$(basename "$file") has $rate Hz, not $3"
  [ "$channels" = "$4" ] || fail "$(basename "$file") has $channels channels, not $4"
  vexa_in_range "$duration" "$5" "$6" || fail "$(basename "$file") lasts $duration s, not $5-$6 s"
  vexa_in_range "$decoded" "$5" "$6" || fail "$(basename "$file") decodes to $decoded s, not $5-$6 s"
  [ "$errors" -eq 0 ] || fail "$(basename "$file"): the decoder reported $errors error line(s)"
  vexa_in_range "$level" -40 0 || fail "$(basename "$file") is silent ($level dBFS)"
  vexa_in_range "$frequency" 435 445 || fail "$(basename "$file") peaks at $frequency Hz, not 440"
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
  vexa_recording_home "Format=$2" "Channels=$3" "Frequency=$4"
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

# point BUTTON: moves the mouse onto the button and waits until it shows that it sees it.
point() { vexa_hover "$1" || fail "the $1 button shows no hover 10 s after the mouse came"; }

# complete FILE: waits until the program has completed FILE (its writer lets go of it).
complete() {
  vexa_wait_closed "$1" 20 && return 0
  fail "$(basename "$1") is still open 20 s after the take ended"
  return 1
}

# press_record FILE: presses Record where the mouse rests and waits until FILE holds audio; sets
# $t_record (just before the press) and $t_audio (just after the audio was seen).
press_record() {
  t_record=$(vexa_now)
  vexa_press
  vexa_wait_file "$1" 10 || { fail "Record made no $(basename "$1")"; return 1; }
  vexa_wait_audio "$1" 10 || { fail "$(basename "$1") got no audio within 10 s"; return 1; }
  t_audio=$(vexa_now)
}

# press_pause: presses Record (now Pause) where the mouse rests and waits until the display
# shows the paused symbol; sets $t_pause (just before the press) and $t_paused (after it was
# seen: the pause was taken before).
press_pause() {
  t_pause=$(vexa_now)
  vexa_press
  vexa_wait_symbol record-paused 10 || { fail "the display shows no pause 10 s after Pause ($(vexa_symbol))"; return 1; }
  t_paused=$(vexa_now)
}

# record_for FILE SECONDS: presses Record, rests the mouse on Stop and presses it SECONDS after
# the audio began to arrive, and waits until the file is complete. Sets $low and $high, the
# seconds the take may last (vexa_take_range). Returns 1 when no file appears or Stop does not
# complete it.
record_for() {
  local t_stop t_done
  point record
  press_record "$1" || return 1
  point stop
  sleep_until "$t_audio" "$2"
  t_stop=$(vexa_now)
  vexa_press
  complete "$1" || return 1
  t_done=$(vexa_now)
  read -r low high < <(vexa_take_range "$t_record" "$t_audio" "$t_stop" "$t_done")
}

# --- Record and Stop in each format; then pause and continue (MP3), Stop while paused (WMA) ---
# The chosen channels and rate, and what the file holds: WMA files are always 44100 Hz stereo.
for row in "wav 0 2 44100 pcm_s16le 44100 2" "mp3 1 1 48000 mp3 48000 1" "wma 2 1 22050 wmav2 44100 2"; do
  read -r ext format in_channels in_frequency codec frequency channels <<<"$row"
  begin "record-$ext" "$format" "$in_channels" "$in_frequency" || continue
  echo "$case: recording $in_frequency Hz $in_channels ch into $codec $frequency Hz $channels ch"
  if record_for "$rec/Vexa_001.$ext" 2.0; then
    [ "$ext" = wav ] && check_wav_header "$rec/Vexa_001.wav"
    check_audio "$rec/Vexa_001.$ext" "$codec" "$frequency" "$channels" "$low" "$high"
  fi
  if [ "$ext" = mp3 ]; then
    # Record 1 s, pause 1.5 s, continue 1 s: the file holds the two runs, under the next
    # number. Each run lies within its Record (or Continue) press and the moment its end was
    # seen; the pause seen taken and Continue pressed 1.5 s apart would be in the file as well
    # if the pause leaked into it. What the server still held when Continue was taken may come
    # in with the second run.
    file="$rec/Vexa_002.mp3"
    point record
    if press_record "$file" && sleep_until "$t_audio" 1.0 && press_pause; then
      sleep 1.5
      t_continue=$(vexa_now)
      vexa_press
      vexa_wait_symbol 'recording|none' 10 || fail "the display still shows the pause 10 s after Continue"
      t_continued=$(vexa_now)
      point stop
      sleep_until "$t_continued" 1.0
      t_stop=$(vexa_now)
      vexa_press
      if complete "$file"; then
        t_done=$(vexa_now)
        low=$(vexa_calc "($t_pause - $t_audio) + ($t_stop - $t_continued) - 2 * $VEXA_TAKE_LOSS")
        high=$(vexa_calc "($t_paused - $t_record) + ($t_done - $t_continue) + $VEXA_TAKE_SLACK + $VEXA_TAKE_LOSS")
        check_audio "$file" mp3 "$frequency" "$channels" "$low" "$high"
      fi
    fi
  fi
  if [ "$ext" = wma ]; then
    # Record 1 s, pause, Stop 1 s after the pause was seen: the file is completed and holds the
    # first run alone.
    file="$rec/Vexa_002.wma"
    point record
    if press_record "$file" && sleep_until "$t_audio" 1.0 && press_pause; then
      point stop
      sleep_until "$t_paused" 1.0
      vexa_press
      if complete "$file"; then
        read -r low high < <(vexa_take_range "$t_record" "$t_audio" "$t_pause" "$t_paused")
        check_audio "$file" wmav2 "$frequency" "$channels" "$low" "$high"
      fi
    fi
  fi
  finish
  case $ext in
    wav) only_files "$rec" Vexa_001.wav ;;
    *) only_files "$rec" "Vexa_001.$ext" "Vexa_002.$ext" ;;
  esac
done

# --- Quick taps: the mouse comes from off the window and clicks at once ---------------------
# No rest for the buttons' cursor poll: a press and release on Record starts each of five takes,
# and the same on Stop ends it.
tap() { # tap BUTTON: onto the middle of BUTTON from off the window, and a click at once
  local kind x y w h _
  read -r kind x y w h _ < <(vexa_control "$1")
  vexa_off_window
  vexa_until 10 left_alone "$1" || fail "the $1 button still shows the mouse 10 s after it left"
  xdotool mousemove --window "$vexa_window" $((x + w / 2)) $((y + h / 2)) click 1
}
left_alone() { ! vexa_hovered "$1"; }
if begin quick-taps 0 2 44100; then
  taps=()
  for n in 1 2 3 4 5; do
    file="$rec/Vexa_00$n.wav"
    tap record
    vexa_wait_file "$file" 10 || { fail "quick tap $n on Record started no take"; break; }
    vexa_wait_audio "$file" 10 || fail "Vexa_00$n.wav got no audio within 10 s"
    tap stop
    complete "$file" || break
    taps+=("Vexa_00$n.wav")
  done
  echo "$case: ${#taps[@]} of 5 quick taps started and ended a take"
  finish
  [ ${#taps[@]} -eq 0 ] || only_files "$rec" "${taps[@]}"
fi

# --- SIGTERM or Close during a recording, running or paused --------------------------------
for row in "wav 0 pcm_s16le sigterm" "mp3 1 mp3 sigterm" "wav 0 pcm_s16le paused-sigterm" "wma 2 wmav2 close"; do
  read -r ext format codec how <<<"$row"
  begin "$how-$ext" "$format" 2 44100 || continue
  file="$rec/Vexa_001.$ext"
  point record
  if ! press_record "$file"; then
    finish
    continue
  fi
  case $how in
    paused-sigterm)
      echo "$case: SIGTERM 1 s after a pause 1.0 s into a recording"
      sleep_until "$t_audio" 1.0
      press_pause || { finish; continue; }
      sleep_until "$t_paused" 1.0
      finish
      # The take ended with the pause.
      t_stop=$t_pause
      t_done=$t_paused
      ;;
    sigterm)
      echo "$case: SIGTERM 1.5 s into a recording"
      sleep_until "$t_audio" 1.5
      t_stop=$(vexa_now)
      finish
      t_done=$(vexa_now)
      ;;
    close)
      echo "$case: the window's Close button 1.5 s into a recording"
      point close
      sleep_until "$t_audio" 1.5
      t_stop=$(vexa_now)
      vexa_press
      vexa_wait_end
      t_done=$(vexa_now)
      [ "$vexa_rc" = 0 ] || { fail "exit code $vexa_rc after Close"; sed 's/^/  | /' "$work/$case.out"; }
      ;;
  esac
  [ "$ext" = wav ] && check_wav_header "$file"
  read -r low high < <(vexa_take_range "$t_record" "$t_audio" "$t_stop" "$t_done")
  check_audio "$file" "$codec" 44100 2 "$low" "$high"
  only_files "$rec" "Vexa_001.$ext"
done

# The boxes' texts, one line each, as they are shown (the program writes them there).
export VEXA_MESSAGE_LOG="$work/messages.log"
# windows: the program's visible windows as "id WIDTHxHEIGHT" lines; boxes: those other than the
# main window (270 x 358).
windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null); do
    echo "$w $(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p')"
  done
}
boxes() { windows | grep -vc ' 270x358$'; }
# wait_boxes N: waits up to 10 s for N open boxes.
wait_boxes() {
  local _
  for _ in $(seq 1 200); do [ "$(boxes)" -eq "$1" ] && return 0; sleep 0.05; done
  return 1
}
# answer_until TEXT: answers each box with Return and waits for it to close, until one whose
# text holds TEXT has been answered (others, such as the writer's own, may come first). The
# message log is emptied before the action that shows them.
answer_until() {
  local _
  for _ in 1 2 3; do
    wait_boxes 1 || return 1
    xdotool key Return
    wait_boxes 0 || return 1
    grep -qF "$1" "$VEXA_MESSAGE_LOG" 2>/dev/null && return 0
  done
  return 1
}
messages() { tr '\n' '|' <"$VEXA_MESSAGE_LOG" 2>/dev/null; }

# --- A recordings folder that cannot be made -----------------------------------------------
# (A plain file stands where its parent should be.) Record says so in one box that names the
# folder and makes nothing; the window stays usable, and SIGTERM with the box open still ends the
# program with 0. (A folder that is merely missing is made: first_run_test.sh.)
case=unmakeable-folder
vexa_fresh "$work/$case"
echo "not a folder" >"$work/$case/missing"
vexa_write_settings "Format=0" "Channels=2" "Frequency=44100" "Dir=$work/$case/missing/deeper/"
if vexa_start "$bin" "$work/$case.out"; then
  echo "$case: Record into $work/$case/missing/deeper/"
  : >"$VEXA_MESSAGE_LOG"
  point record
  vexa_press
  answer_until "could not be created" ||
    fail "Record gave no answered box saying the folder could not be created ($(boxes) open; shown: $(messages))"
  [ "$(grep -c . "$VEXA_MESSAGE_LOG")" -eq 1 ] || fail "not one box: $(messages)"
  grep -qF "$work/$case/missing/deeper" "$VEXA_MESSAGE_LOG" || fail "the box does not name the folder: $(messages)"
  kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
  point record
  vexa_press
  wait_boxes 1 || fail "a second Record showed no box ($(boxes) open)"
  finish
  made=$(find "$work/$case" -path "$work/$case/home" -prune -o -path "$work/$case/run" -prune -o -type f -print |
    grep -vx "$work/$case/missing")
  [ -z "$made" ] || fail "files were made: $made"
  [ "$(cat "$work/$case/missing")" = "not a folder" ] || fail "the file in the way was changed"
else
  fail "no visible window named \"Vexa Recorder\""
fi

# --- No sound server ----------------------------------------------------------------------
# The start says so in a box; the window still comes up, and Record says so again and leaves no
# file.
case=no-sound-server
vexa_recording_home "Format=1" "Channels=2" "Frequency=44100"
echo "$case: PULSE_SERVER names a socket nobody listens on"
: >"$VEXA_MESSAGE_LOG"
PULSE_SERVER="unix:$work/$case/no-server" "$bin" >"$work/$case.out" 2>&1 &
vexa_pid=$!
vexa_window=""
answer_until "Can not start" || fail "no answered box at start (windows: $(windows | tr '\n' ' '); shown: $(messages))"
for _ in $(seq 1 200); do
  vexa_window=$(windows | awk '$2 == "270x358" {print $1; exit}')
  [ -n "$vexa_window" ] && break
  sleep 0.05
done
if [ -n "$vexa_window" ]; then
  [ "$(boxes)" -eq 0 ] || fail "$(boxes) box(es) still open after Return"
  : >"$VEXA_MESSAGE_LOG"
  point record
  vexa_press
  wait_boxes 1 || fail "Record without a sound server showed no box ($(boxes) open)"
  grep -qF "Recording could not be started" "$VEXA_MESSAGE_LOG" || fail "the box does not say recording could not start: $(messages)"
  made=$(ls -A "$rec")
  [ -z "$made" ] || fail "files were made: $made"
else
  fail "no main window after the box"
fi
finish

vexa_finish "all recording cases passed"
