#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 120
# The real program under Xvfb, started on what it meets in the wild: a recordings folder with
# FIFOs named *.wav and *.mp3, a file whose name is not UTF-8 and a broken WAV listed after
# them (the window shows at once, with the broken file's one box); a stored language file name leading out of the Languages folder to /dev/zero
# (the window shows, in the default language, without reading /dev/zero); a settings file with one malformed line (the
# recordings folder and the format survive it and are saved again at exit); a folder of 30 WAVs the reader refuses
# (one box at start, naming how many, not one box per file).
set -uo pipefail
lib="${VEXA_SOURCE_DIR:?}/tests/e2e/lib.sh"
# shellcheck source=../e2e/lib.sh
source "$lib"
vexa_begin hostile-e2e
case=""
# The program writes each box's text here as well.
export VEXA_MESSAGE_LOG="$work/messages.log"

# run_case NAME BOXES: starts the program on the settings written, closes exactly BOXES boxes
# (each may take up to 30 s to come, and none more may follow within 2 s), expects its main
# window on screen within 30 s and a resident size below 300 MB, then ends it
# with SIGTERM (exit code 0).
run_case() {
  case=$1
  "$bin" >"$work/$case.log" 2>&1 &
  vexa_pid=$!
  vexa_window=""
  vexa_until 30 vexa_find_main || { fail "no main window"; kill -9 "$vexa_pid"; wait "$vexa_pid" 2>/dev/null; vexa_pid=""; return; }
  local titles n rss
  rm -f "$work/stuck"
  titles=$(vexa_close_boxes "$2")
  n=$(printf '%s\n' "$titles" | grep -c .)
  echo "$case: $n box(es): $(printf '%s' "$titles" | tr '\n' '|')"
  [ "$n" -eq "$2" ] || fail "$n box(es) instead of $2"
  [ -e "$work/stuck" ] && fail "boxes that Return did not close: $(tr '\n' '|' <"$work/stuck")"
  vexa_until 30 vexa_viewable || fail "the main window never showed (start-up did not finish)"
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$vexa_pid/status" 2>/dev/null)
  echo "$case: resident ${rss:-?} kB"
  [ "${rss:-0}" -lt 300000 ] || fail "resident size ${rss} kB"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
}

vexa_fresh "$work"
rec="$work/rec"
mkdir -p "$rec"
sox -n -r 8000 -c 1 -b 16 "$rec/b fine.wav" synth 2 sine 440 || fail "sox"
cp "$rec/b fine.wav" "$rec/$(printf 'caf\xe9.wav')"
mkfifo "$rec/a fifo.wav" "$rec/c fifo.mp3"
# Listed after the FIFOs: its box ("ERROR") shows that the listing went past them.
printf 'not a wave file\n' > "$rec/z broken.wav"

# Each run shows the broken file's box once (a new run of the program).
# FIFOs in the folder: an open of one would wait for a writer for ever. The listing reaches the
# broken file after them and shows its one box.
vexa_write_settings "Dir=$rec/" "LanguageFile=English.ini" "FileList=1" "Format=0"
run_case fifo 1

# A stored language name that leads out of the Languages folder.
vexa_write_settings "Dir=$rec/" "LanguageFile=../../../../../../../../dev/zero" "FileList=1" "Format=0"
run_case language 1
grep -q '^LanguageFile=../../../../../../../../dev/zero$' "$vexa_settings" || fail "the stored name was changed"

# One malformed line: every other value is kept, and saved again at exit.
vexa_write_settings "Dir=$rec/" "LanguageFile=English.ini" "FileList=1" "Format=0" "Channels=1" "[[["
run_case settings 1
grep -q "^Dir=$rec/\$" "$vexa_settings" || { fail "the recordings folder was lost"; cat "$vexa_settings"; }
grep -q '^Format=0$' "$vexa_settings" || fail "the format was lost"
grep -q '^Channels=1$' "$vexa_settings" || fail "the channels were lost"
[ -f "$vexa_settings.bad" ] || fail "the malformed file was not kept aside"

# Thirty WAVs the reader refuses: 24-bit, floating-point and ADPCM ones, and empty files.
bad="$work/unreadable"
mkdir -p "$bad"
for i in 1 2 3 4 5 6 7 8; do
  sox -n -r 44100 -c 2 -b 24 "$bad/deep $i.wav" synth 0.2 sine 440 &&
    sox -n -r 44100 -c 2 -e floating-point -b 32 "$bad/float $i.wav" synth 0.2 sine 440 &&
    sox -n -r 8000 -c 1 -e ima-adpcm "$bad/adpcm $i.wav" synth 0.2 sine 440 || fail "sox"
done
for i in 1 2 3 4 5 6; do : >"$bad/empty $i.wav"; done
vexa_write_settings "Dir=$bad/" "LanguageFile=English.ini" "FileList=1" "Format=0"
: >"$VEXA_MESSAGE_LOG"
run_case unreadable 1
grep -q '^30 files in the recordings folder could not be read' "$VEXA_MESSAGE_LOG" ||
  fail "the box does not name the 30 files: $(tr '\n' '|' <"$VEXA_MESSAGE_LOG")"

# (every run's output, when something failed)
logs() { for f in "$work"/*.log; do echo "== $f"; cat "$f"; done; }
vexa_finish PASS logs
