#!/usr/bin/env bash
# Makes docs/vexa-recorder.png: the real window under Xvfb, 4 s into a recording of the private
# sound server's 440 Hz microphone, with three earlier recordings listed. Uses $DISPLAY and
# $PULSE_SERVER when both are set; otherwise starts the private services of scripts/services.sh
# (Xvfb on $VEXA_SHOT_DISPLAY, default :197) and stops them at the end.
#   bash scripts/screenshot.sh [path/to/vexa-recorder]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"
bin=${1:-$root/build/vexa-recorder}
[ -x "$bin" ] || { echo "no program at $bin"; exit 1; }
work=$(mktemp -d /tmp/vexa-shot.XXXXXX)
services=""
vexa_holder=""
cleanup() {
  [ -n "${vexa_pid:-}" ] && kill -9 "$vexa_pid" 2>/dev/null
  [ -n "$vexa_holder" ] && kill "$vexa_holder" 2>/dev/null
  [ -n "$services" ] && "$root/scripts/services.sh" stop "$services" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || [ -z "${PULSE_SERVER:-}" ]; then
  services="$work/services"
  mkdir -p "$services"
  # shellcheck source=../scripts/services.sh
  VEXA_DISPLAY=${VEXA_SHOT_DISPLAY:-:197} source "$root/scripts/services.sh" start "$services"
fi
vexa_hold_display

vexa_fresh "$work"
rec="$work/recordings"
mkdir -p "$rec"
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=12" -ac 2 "$rec/Vexa_001.wav"
ffmpeg -v error -f lavfi -i "sine=frequency=660:duration=95" -ac 2 -b:a 128k "$rec/Vexa_002.mp3"
ffmpeg -v error -f lavfi -i "sine=frequency=880:duration=31" -ac 2 -c:a wmav2 -b:a 96k "$rec/Vexa_003.wma"
vexa_write_settings "Format=0" "Channels=2" "Frequency=44100" "Dir=$rec/" "Spectrum=0"
vexa_start "$bin" "$work/out.log" || { echo "no window"; cat "$work/out.log"; exit 1; }
sleep 1
vexa_click $VEXA_RECORD_XY
vexa_point 150 300 # the mouse away from the buttons
sleep 4.1 # into the fifth second: the recording symbol is lit on even seconds
import -window "$vexa_window" "$root/docs/vexa-recorder.png"
vexa_click $VEXA_STOP_XY
sleep 0.5
vexa_end TERM
echo "wrote $root/docs/vexa-recorder.png"
