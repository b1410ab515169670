#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# Recordings of the real window that are cut short from outside keep their audio:
# - kill -9 during a WMA recording leaves a file that FFmpeg decodes to within a second of what
#   was captured;
# - the recordings folder removed during a WAV, MP3 or WMA recording: the window says once where
#   the recording goes on, and after Stop the file in the re-made folder holds the whole take.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
bin="${VEXA_BINARY_DIR:?}/vexa-recorder"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
[ -n "${PULSE_SERVER:-}" ] || { echo "FAIL: no PULSE_SERVER; run under scripts/test.sh or scripts/services.sh"; exit 1; }
work=$(mktemp -d /tmp/vexa-cut.XXXXXX)
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

# --- kill -9 during a WMA recording ---------------------------------------------------------
case=kill-wma
vexa_fresh "$work/$case"
rec="$work/$case/recordings"
mkdir -p "$rec"
vexa_write_settings "Format=2" "Channels=2" "Frequency=44100" "Dir=$rec/"
if vexa_start "$bin" "$work/$case.out"; then
  sleep 0.5
  vexa_click $VEXA_RECORD_XY
  if vexa_wait_file "$rec/Vexa_001.wma" 5; then
    started=$(vexa_now)
    sleep 6
    captured=$(vexa_since "$started")
    kill -9 "$vexa_pid"
    wait "$vexa_pid" 2>/dev/null
    vexa_pid=""
    kept=$(vexa_seconds "$rec/Vexa_001.wma")
    echo "  $case: FFmpeg decodes $kept s of about $captured s captured"
    vexa_in_range "$kept" "$(awk -v c="$captured" 'BEGIN {print c - 1.0}')" "$(awk -v c="$captured" 'BEGIN {print c + 1.0}')" \
      || fail "the killed WMA recording decodes to $kept s, not the $captured s captured"
  else
    fail "Record made no file"
  fi
else
  fail "no window"
fi

# --- the recordings folder removed while recording ------------------------------------------
for entry in "0 wav" "1 mp3" "2 wma"; do
  read -r code ext <<<"$entry"
  case="folder-removed-$ext"
  vexa_fresh "$work/$case"
  rec="$work/$case/recordings"
  mkdir -p "$rec"
  vexa_write_settings "Format=$code" "Channels=2" "Frequency=44100" "Dir=$rec/"
  if ! vexa_start "$bin" "$work/$case.out"; then
    fail "no window"
    continue
  fi
  sleep 0.5
  vexa_click $VEXA_RECORD_XY
  file="$rec/Vexa_001.$ext"
  if ! vexa_wait_file "$file" 5; then
    fail "Record made no file"
    vexa_end TERM
    continue
  fi
  started=$(vexa_now)
  sleep 2
  rm -rf "$rec"
  # The window notices within about a second of audio and says where the recording goes on.
  for _ in $(seq 1 100); do [ "$(vexa_boxes)" -gt 0 ] && break; sleep 0.05; done
  [ "$(vexa_boxes)" -eq 1 ] || fail "$(vexa_boxes) box(es) after the folder was removed, not one"
  [ -e "$file" ] || fail "the recording was not made again in its folder"
  sleep 2
  for _ in 1 2 3; do [ "$(vexa_boxes)" -gt 0 ] || break; xdotool key Return; sleep 0.3; done
  vexa_click $VEXA_STOP_XY
  captured=$(vexa_since "$started")
  sleep 0.5
  [ "$(vexa_boxes)" -eq 0 ] || fail "$(vexa_boxes) box(es) after Stop"
  kept=$(vexa_seconds "$file")
  echo "  $case: the file holds $kept s of about $captured s recorded"
  vexa_in_range "$kept" "$(awk -v c="$captured" 'BEGIN {print c - 1.2}')" "$(awk -v c="$captured" 'BEGIN {print c + 0.6}')" \
    || fail "the file holds $kept s, not the $captured s recorded"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all interrupted-recording cases passed"
