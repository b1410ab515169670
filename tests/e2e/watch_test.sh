#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 500
# The recording's watches, from the real window with the private sound server (needs root for
# the small file systems). A recording into a tmpfs that holds about 16 s shows the free-space
# note while it records and ends itself before the disk is full, with a valid file and a box
# that says why (WAV, MP3, WMA). A recording whose process is stopped (SIGSTOP) for 3 s loses
# nothing (the server keeps it), tells nothing once the capture has caught up, and the file is
# as long as the wall clock says; stopped for 26 s, longer than the server keeps, it tells of
# one dropout of the length lost at the place it was lost, and the file still keeps the clock.
# A recording of the usual 440 Hz tone tells nothing after Stop; with a full-scale square wave
# played into what the microphone hears, a box tells of clipping.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
mounted=""
# (the program, killed at the end even while stopped, has let go of the small disks by then)
vexa_at_exit() {
  for m in $mounted; do umount "$m" 2>/dev/null; done
  [ -n "${feeder:-}" ] && kill "$feeder" 2>/dev/null
}
vexa_begin watch sound
[ "$(id -u)" = 0 ] || { echo "SKIP: mounting a small tmpfs needs root"; exit 0; }
box_ids() { xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -vx "$vexa_window"; }
boxes() { box_ids | wc -l; }
# wait_boxes N SECONDS: waits until at least N boxes are open.
wait_boxes() { vexa_until "$2" boxes_at_least "$1"; }
boxes_at_least() { [ "$(boxes)" -ge "$1" ]; }
# The boxes' texts, one line each, in the order shown (the program writes them there).
messages="$work/messages.log"
export VEXA_MESSAGE_LOG="$messages"
message() { sed -n "${1}p" "$messages" 2>/dev/null; }
close_boxes() {
  local _ w
  for _ in 1 2 3 4; do
    w=$(box_ids | head -1)
    [ -n "$w" ] || break
    xdotool windowfocus --sync "$w" 2>/dev/null
    xdotool key Return
    vexa_until 10 box_closed "$w" || break
  done
}
box_closed() { ! box_ids | grep -qx "$1"; }
# seconds FILE: the decoded length, or "none".
seconds() {
  local rate channels bytes
  read -r rate channels < <(ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels \
                             -of csv=p=0 "$1" | tr ',' ' ')
  [ -n "${rate:-}" ] && [ -n "${channels:-}" ] || { echo none; return; }
  bytes=$(ffmpeg -v error -nostdin -i "$1" -f s16le -acodec pcm_s16le - 2>/dev/null | wc -c)
  awk -v b="$bytes" -v r="$rate" -v c="$channels" 'BEGIN {printf "%.3f", b / (2 * r * c)}'
}
decode_errors() { ffmpeg -v error -nostdin -i "$1" -f null - 2>&1 | grep -c .; }
begin() {
  case=$1
  vexa_fresh "$work/$case"
  rec=$2
  mkdir -p "$rec"
  vexa_write_settings "Format=$3" "Channels=2" "Frequency=44100" "Dir=$rec/"
  : >"$messages"
  vexa_start "$bin" "$work/$case.out" && return 0
  fail "no visible window"
  return 1
}
finish() {
  close_boxes
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc after SIGTERM"
}
# stop_take FILE: presses Stop and waits until the take is over: the file complete, then the
# display back at the stop symbol, painted after Stop's work (and any box it opens) was done.
# Sets $t_stop (just before the press) and $t_done (just after the file was seen complete).
stop_take() {
  vexa_hover stop || fail "the stop button shows no hover"
  t_stop=$(vexa_now)
  vexa_press
  vexa_wait_closed "$1" 20 || fail "$(basename "$1") is still open 20 s after Stop"
  t_done=$(vexa_now)
  vexa_wait_symbol idle 10 || fail "the display does not show the stop symbol 10 s after Stop"
}
grows_past() { [ "$(stat -c %s "$1")" -gt "$2" ]; }

# --- A small disk: the note while recording, then the end before it is full ---
# tmpfs sizes that hold about 16 s of each format (44.1 kHz stereo; MP3 128 kbit/s, WMA 96).
for row in "wav 0 2816k" "mp3 1 264k" "wma 2 200k"; do
  read -r ext format size <<<"$row"
  disk="$work/disk-$ext"
  mkdir -p "$disk"
  mount -t tmpfs -o "size=$size" tmpfs "$disk" || { case=disk-$ext; fail "cannot mount a tmpfs"; continue; }
  mounted="$disk $mounted"
  begin "disk-$ext" "$disk/rec" "$format" || continue
  file="$disk/rec/Vexa_001.$ext"
  vexa_hover record || fail "the record button shows no hover"
  start=$(vexa_now)
  vexa_press
  vexa_wait_file "$file" 10 || { fail "Record made no file"; finish; continue; }
  if wait_boxes 1 20; then
    noted=$(vexa_since "$start")
    size1=$(stat -c %s "$file")
    text=$(message 1)
    echo "  $case: note after $noted s: $text"
    [[ "$text" == *"nearly full"* ]] || fail "the first box is not the free-space note: $text"
    # (a WMA file grows by whole packets, more than a second of audio each)
    vexa_until 10 grows_past "$file" "$size1" ||
      fail "the recording did not go on after the note ($size1 -> $(stat -c %s "$file") bytes in 10 s)"
  else
    fail "no note within 20 s"
  fi
  if wait_boxes 2 40; then
    ended=$(vexa_since "$start")
    avail=$(df -B1 --output=avail "$disk" | tail -1 | tr -d ' ')
    text=$(message 2)
    echo "  $case: ended after $ended s with $avail bytes free: $text"
    [[ "$text" == *"recording has stopped"* ]] || fail "the second box does not say why it stopped: $text"
    [[ "$text" == *"Vexa_001.$ext"* ]] || fail "the box does not name the file"
    [ "$avail" -gt 0 ] || fail "the disk is full"
    [ "$(boxes)" -eq 2 ] || fail "$(boxes) boxes open, expected the note and the end"
    # The end's box comes once the file is complete.
    vexa_holds "$file" && fail "the file is still open while the box says the recording has stopped"
    size1=$(stat -c %s "$file")
    sleep 1
    [ "$(stat -c %s "$file")" = "$size1" ] || fail "the file still grows"
    len=$(seconds "$file")
    errs=$(decode_errors "$file")
    echo "  $case: Vexa_001.$ext $size1 bytes, $len s, $errs decoder complaints"
    vexa_in_range "$len" 5 "$(awk -v e="$ended" 'BEGIN {print e + 0.5}')" || fail "the file lasts $len s (recorded for $ended s)"
    [ "$errs" -eq 0 ] || fail "the decoder complained $errs times"
    if [ "$ext" = wav ]; then
      riff=$(od -An -tu4 -j4 -N4 "$file" | tr -d ' ')
      [ "$riff" = "$((size1 - 8))" ] || fail "RIFF size $riff for a file of $size1 bytes"
    fi
  else
    fail "the recording did not end by itself within 30 s ($(boxes) boxes)"
  fi
  finish
  umount "$disk" && mounted=${mounted/"$disk "/}
done

# --- Stalls: the process stopped (SIGSTOP) for a while ---
# The sound server keeps what a stopped client does not read, up to about 4 MiB whatever the
# stream asks for (measured on PulseAudio 16: a 26 s stop of a 44.1 kHz stereo capture lost
# the last 2.05 s of it, 23.9 s kept). A 3 s stop loses nothing; a 26 s stop loses its end.
# PipeWire's PulseAudio server (0.3.65) keeps a 10 s stop whole but throws away all it kept once
# its buffer overflows: a parec stopped for 26 s got nothing of the stop, and the program reports
# about 25.9 s lost from where the stop began. Either way the loss ends where the stop ended.
# The times of a take are taken just before each press or signal and just after each thing was
# seen, so that a busy machine only widens what is accepted: the take began (C) between the
# Record press and its first audio on disk; the stop began between the two sides of kill -STOP
# and ended (T) between the two sides of kill -CONT.
# wav_seconds FILE: the audio on disk, from the size of a 44.1 kHz stereo WAV file.
wav_seconds() { awk -v b="$(stat -c %s "$1")" 'BEGIN {printf "%.3f", (b - 44) / 176400}'; }
# caught_up FILE: the file holds the clock's time since the take began, as it did before the
# stop ($lag: clock less audio on disk then). Audio the counter holds back while a shortfall
# settles, or a gap not yet filled with silence, keeps the file a second and more behind.
caught_up() {
  local now
  now=$(vexa_now)
  awk -v now="$now" -v a="$t_audio" -v d="$(wav_seconds "$1")" -v lag="$lag" \
    'BEGIN {exit !(d >= now - a - lag - 0.3)}'
}
stall_take() { # NAME PAUSE_SECONDS: records 1 s, stops the process for PAUSE s, records on
  begin "$1" "$work/$1/recordings" 0 || return 1
  local file="$rec/Vexa_001.wav"
  vexa_hover record || fail "the record button shows no hover"
  t_record=$(vexa_now)
  vexa_press
  vexa_wait_file "$file" 10 && vexa_wait_audio "$file" 10 || { fail "Record wrote no audio"; finish; return 1; }
  t_audio=$(vexa_now)
  vexa_hover stop || fail "the stop button shows no hover"
  sleep 1
  lag=$(awk -v n="$(vexa_now)" -v a="$t_audio" -v d="$(wav_seconds "$file")" 'BEGIN {printf "%.3f", n - a - d}')
  t_stop0=$(vexa_now)
  kill -STOP "$vexa_pid"
  t_stop1=$(vexa_now)
  sleep "$2"
  t_cont0=$(vexa_now)
  kill -CONT "$vexa_pid"
  t_cont1=$(vexa_now)
  # The dropout counter waits for a second of steady audio after the capture has taken back
  # what the server kept, before it calls a shortfall a gap: Stop comes once the file has caught
  # up with the clock again.
  vexa_until 30 caught_up "$file" || fail "the file did not catch up with the clock within 30 s after the stop"
  stop_take "$file"
  len=$(seconds "$file")
  # Lost or not, what follows a stall stays in place: the file is as long as the recording, less
  # what the server still held when Stop was taken (its latency, about 60 ms on PipeWire and
  # 10 ms on PulseAudio, and whatever the capture thread had not yet read on a busy machine).
  # A file that closed the gap instead of keeping it would come out 2 s or more short; silence
  # written for a stall the server rode out would add 3 s.
  read -r low high < <(VEXA_TAKE_SLACK=0.2 VEXA_TAKE_LOSS=0.5 vexa_take_range "$t_record" "$t_audio" "$t_stop" "$t_done")
  echo "  $case: stopped $(vexa_calc "$t_stop0 - $t_audio") s after the audio began, for $2 s; the file lasts $len s ($low-$high s expected)"
  vexa_in_range "$len" "$low" "$high" || fail "the file lasts $len s, not $low-$high s"
}
if stall_take stall 3; then
  [ "$(boxes)" -eq 0 ] || fail "a box after a stall the server rode out: $(message 1)"
  finish
fi
pause=26
if stall_take long-stall "$pause"; then
  if wait_boxes 1 10; then
    text=$(message 1)
    echo "  $case: $text"
    # "... 1 time(s) ..., 2.05 s in total; the first at 0:25.5."
    times=$(sed -nE 's/.* ([0-9]+) time\(s\).*/\1/p' <<<"$text")
    lost=$(sed -nE 's/.* ([0-9]+\.[0-9]+) s in total.*/\1/p' <<<"$text")
    at=$(sed -nE 's/.*first at ([0-9]+):([0-9.]+).*/\1 \2/p' <<<"$text" | awk '{print $1 * 60 + $2}')
    [ "$times" = 1 ] || fail "not one dropout: $text"
    # What the server kept of the stop is its start; what it threw away runs to its end, T: the
    # gap begins at T - C - lost, within half a second (the counter's steps, the text's tenths).
    vexa_in_range "$lost" 0.1 "$(vexa_calc "$t_cont1 - $t_stop0")" || fail "lost $lost s in a stop of $pause s"
    early=$(vexa_calc "$t_cont0 - $t_audio - $lost - 0.5")
    late=$(vexa_calc "$t_cont1 - $t_record - $lost + 0.5")
    echo "  $case: the dropout at $at s ($early-$late s expected)"
    vexa_in_range "$at" "$early" "$late" ||
      fail "the dropout is placed at $at s, not within $early-$late s (the stop ended $(vexa_calc "$t_cont0 - $t_audio") s after the audio began, $lost s lost)"
    [[ "$text" != *clipped* ]] || fail "clipping reported: $text"
  else
    fail "no box after a stop of $pause s"
  fi
  finish
fi

# --- Nothing to tell after a clean take of the usual tone ---
clip_take() { # NAME: records 2 s
  begin "$1" "$work/$1/recordings" 0 || return 1
  vexa_press_button record
  vexa_wait_file "$rec/Vexa_001.wav" 10 && vexa_wait_audio "$rec/Vexa_001.wav" 10 ||
    { fail "Record made no file with audio"; finish; return 1; }
  sleep 2
  stop_take "$rec/Vexa_001.wav"
}
if clip_take tone; then
  [ "$(boxes)" -eq 0 ] || fail "a box after recording the 440 Hz tone: $(message 1)"
  finish
fi
# --- Clipping: a full-scale square wave played into what the microphone hears ---
# The microphone already hears a 440 Hz tone, and the server adds the two. A square wave of the
# same pitch could land in opposite phase, so that the tone pulls every plateau below full scale
# and nothing clips; at 100 Hz each plateau spans whole periods of the tone and clips on each.
sox -q -n -t raw -r 44100 -e signed -b 16 -c 2 - synth 30 square 100 vol 1.5 2>/dev/null |
  pacat --device=micsink --raw --rate=44100 --channels=2 --format=s16le --latency-msec=20 &
feeder=$!
# full_scale: what the microphone hears reaches full scale (the wave has arrived).
full_scale() {
  { timeout 0.3 parec -d micsink.monitor --latency-msec=20 --raw --format=s16le --channels=2 --rate=44100 2>/dev/null || true; } |
    sox -t raw -r 44100 -e signed -b 16 -c 2 - -n stat 2>&1 | awk '/^Maximum amplitude/ {m = $3} END {exit !(m >= 0.99)}'
}
vexa_until 10 full_scale || fail "the square wave does not reach the microphone within 10 s"
if clip_take square; then
  if wait_boxes 1 10; then
    text=$(message 1)
    echo "  $case: $text"
    [[ "$text" == *clipped* ]] || fail "no clipping reported: $text"
    [[ "$text" == *"Lower the recording volume"* ]] || fail "no advice to lower the volume"
    [[ "$text" != *"Audio was lost"* ]] || fail "a dropout reported"
  else
    # Whether the file holds the square wave tells a missed clip from a wave that never arrived.
    # A file still growing means the Stop click did not reach the program.
    feeding=gone; kill -0 "$feeder" 2>/dev/null && feeding=running
    size1=$(stat -c %s "$rec/Vexa_001.wav"); sleep 0.5; size2=$(stat -c %s "$rec/Vexa_001.wav")
    fail "no box after recording a full-scale square wave (the feeder is $feeding, the default source $(
      pactl get-default-source 2>&1), the file $([ "$size2" -gt "$size1" ] && echo still grows || echo is closed): $(
      sox "$rec/Vexa_001.wav" -n stats 2>&1 | awk '/^(Pk lev dB|Pk count|Length s)/ {printf "%s %s %s; ", $1, $2, $NF}'))"
  fi
  finish
fi
kill "$feeder" 2>/dev/null
wait "$feeder" 2>/dev/null
feeder=""

vexa_finish
