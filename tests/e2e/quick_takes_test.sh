#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# Takes stopped at once in the real window: R and S sent together, several times in WAV, MP3
# and WMA. A take that caught no audio leaves no file; a take that caught some leaves a file that
# FFmpeg decodes without complaint to some audio. The numbers of the files left run on without a
# gap, and a take of two seconds after them gets the next number. No box shows.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
vexa_begin quick sound

Quick=8 # takes stopped at once, per format

# holds_any: the program holds a file of the recordings folder open.
holds_any() { { ls -l "/proc/$vexa_pid/fd" 2>/dev/null || true; } | grep -qF -- "-> $rec/"; }
lets_go() { ! holds_any; }
# decodes FILE: FFmpeg decodes FILE without an error line to at least one sample frame.
decodes() {
  local errors bytes
  errors=$(ffmpeg -v error -nostdin -i "$1" -map 0:a:0 -f s16le -acodec pcm_s16le - 2>&1 >/dev/null | grep -c .)
  bytes=$(ffmpeg -v error -nostdin -i "$1" -map 0:a:0 -f s16le -acodec pcm_s16le - 2>/dev/null | wc -c)
  [ "$errors" -eq 0 ] && [ "$bytes" -gt 0 ]
}

for row in "wav 0" "mp3 1" "wma 2"; do
  read -r ext format <<<"$row"
  case="quick-$ext"
  vexa_recording_home "Format=$format" "Channels=2" "Frequency=44100" "LanguageFile=English.ini"
  if ! vexa_start "$bin" "$work/$case.out"; then
    fail "no window"
    continue
  fi
  sleep 0.5
  vexa_focus
  for _ in $(seq 1 "$Quick"); do
    xdotool key r s
    # Both keys are handled in turn; the take is over when its file is let go.
    sleep 0.3
    vexa_until 10 lets_go || fail "a file is still open 10 s after R S"
  done
  kept=0
  for f in "$rec"/*; do
    [ -e "$f" ] || continue
    kept=$((kept + 1))
    name=$(basename "$f")
    expected=$(printf 'Vexa_%03d.%s' "$kept" "$ext")
    [ "$name" = "$expected" ] || fail "file $kept is $name, not $expected (the numbers skip)"
    decodes "$f" || fail "$name ($(stat -c %s "$f") bytes) does not decode to audio"
  done
  echo "  $case: $kept of $Quick takes caught audio and were kept"

  # A take with audio after them gets the next number.
  next="$rec/$(printf 'Vexa_%03d.%s' "$((kept + 1))" "$ext")"
  xdotool key r
  if vexa_wait_file "$next" 10 && vexa_wait_audio "$next" 10; then
    sleep 2
    xdotool key s
    vexa_until 20 lets_go || fail "$(basename "$next") is still open 20 s after S"
    decodes "$next" || fail "$(basename "$next") does not decode to audio"
  else
    fail "R made no $(basename "$next") with audio"
  fi
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) shown"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
done

vexa_finish "all quick takes left no file or a file that decodes, numbered without a gap"
