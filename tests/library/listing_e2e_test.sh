#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 180
# The real program under Xvfb on a folder whose first file is a broken WAV: at start the list
# reports it in one box (the reader's text; the panel, which selects it by itself, says
# nothing), and closing that box, which activates the window again, brings nothing back. A click
# on the file says why it cannot be read (the reader's text and str006), and so does every click
# after it. Refresh brings none back (a listing reports a file once per run); once the file
# changed, Refresh reports it once.
set -uo pipefail
lib="${VEXA_SOURCE_DIR:?}/tests/e2e/lib.sh"
# shellcheck source=../e2e/lib.sh
source "$lib"
vexa_begin listing-e2e
# The program writes each box's text here as well.
export VEXA_MESSAGE_LOG="$work/messages.log"

vexa_fresh "$work"
mkdir -p "$work/rec"
printf 'this is not a wave file at all\n' > "$work/rec/a broken.wav"
sox -n -r 8000 -c 1 -b 16 "$work/rec/b fine.wav" synth 2 sine 440 || fail "sox"
vexa_write_settings "Dir=$work/rec/" "LanguageFile=English.ini" "FileList=1"

# The first activation's boxes come while the main window is still unmapped.
"$bin" >"$work/out.log" 2>&1 &
vexa_pid=$!
vexa_window=""
vexa_until 30 vexa_find_main || { fail "no main window"; cat "$work/out.log"; exit 1; }
titles=$(vexa_close_boxes 1)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "at start: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 1 ] || fail "$n boxes at start instead of 1 (the list's)"
[ "$(printf '%s\n' "$titles" | head -1)" = "ERROR" ] || fail "the box is not the reader's \"ERROR\""
vexa_until 30 vexa_viewable || fail "the main window does not show 30 s after its box was closed"

# A click on the broken file (the list's first row), twice: each click says why.
for click in 1 2; do
  shown=$(wc -l < "$VEXA_MESSAGE_LOG" 2>/dev/null || echo 0)
  vexa_click 60 226
  titles=$(vexa_close_boxes 2)
  n=$(printf '%s\n' "$titles" | grep -c .)
  said=$(tail -n +$((shown + 1)) "$VEXA_MESSAGE_LOG" 2>/dev/null | tr '\n' '|')
  echo "click $click on the broken file: $n boxes: $said"
  [ "$said" = "This is not a valid Wave file|This WAV file cannot be read.|" ] ||
    fail "click $click: \"$said\" instead of the reader's text and str006"
done

# Refresh: the file nobody touched says nothing again (the file made beside it is a fine one).
vexa_refresh_listing "$work/rec/c fine.wav"
titles=$(vexa_close_boxes 0)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "after Refresh: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 0 ] || fail "$n boxes after Refresh instead of none"

# The file changed: Refresh reports it once (the list's box; nothing is selected now).
printf 'still not a wave file, but another one\n' > "$work/rec/a broken.wav"
vexa_hover refresh || fail "Refresh shows no hover 10 s after the mouse came"
vexa_press
titles=$(vexa_close_boxes 1)
n=$(printf '%s\n' "$titles" | grep -c .)
echo "after a change and Refresh: $n boxes: $(printf '%s' "$titles" | tr '\n' '|')"
[ "$n" -eq 1 ] || fail "$n boxes after the file changed instead of 1"

[ -e "$work/stuck" ] && fail "boxes that Return did not close: $(tr '\n' '|' <"$work/stuck")"
kill -0 "$vexa_pid" 2>/dev/null || fail "the program ended"
vexa_end TERM
[ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
vexa_finish PASS cat "$work/out.log"
