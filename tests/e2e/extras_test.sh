#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 300
# The system menu's last commands and the tool buttons in the real window under Xvfb, with the
# private sound server. A copy of the program lies in a folder of its own with stand-ins for the
# companion programs beside it (Dravena, and the joiner in lower case as "pelmora"; no Kestiva),
# each writing its arguments to a file; the desktop's default handler of the private home (its
# mimeapps.list) is a stand-in that writes what it was asked to open.
# - About from the menu shows the current year in the rights line, in English and in
#   Simplified Chinese (the line is read back through the X selection after a triple click).
# - Help opens the manual beside the program; Home page opens an https address.
# - The editor: Yes hands over the selected recording's path (a folder with spaces) as one
#   argument; No and Escape start it without arguments.
# - The joiner is found in lower case; the missing converter gives one box and starts nothing.
# - While recording, the tool buttons start nothing; after Stop they work again.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
command -v xclip >/dev/null || { echo "FAIL: xclip is missing (scripts/deps.sh installs it)"; exit 1; }
command -v xdg-open >/dev/null || { echo "FAIL: xdg-open is missing (scripts/deps.sh installs it)"; exit 1; }
vexa_begin extras sound
built="${VEXA_BINARY_DIR:?}"
ok() { echo "ok   [$case]: $*"; }
year=$(date +%Y)

# The program in a folder of its own (with a space), its languages and manual beside it.
app="$work/program files"
calls="$work/calls"
mkdir -p "$app" "$calls"
cp "$built/vexa-recorder" "$app/"
cp -r "$built/Languages" "$built/manual" "$app/"
# standin PATH NAME: a program that writes its argument count and arguments, one a line, to a
# new file calls/NAME.*
standin() {
  cat >"$1" <<SH
#!/bin/sh
out=\$(mktemp "$calls/$2.XXXXXX.tmp")
{ echo "\$#"; printf '%s\n' "\$@"; } >"\$out" && mv "\$out" "\${out%.tmp}"
SH
  chmod +x "$1"
}
standin "$app/Dravena" Dravena
standin "$app/pelmora" Pelmora
standin "$work/opener" opened

# take_call NAME SECONDS: waits for one call of NAME, prints its file's content and removes it;
# returns 1 when none came.
take_call() {
  local f _
  for _ in $(seq 1 $(($2 * 20))); do
    f=$(ls "$calls/$1".* 2>/dev/null | grep -v '\.tmp$' | head -1)
    if [ -n "$f" ]; then cat "$f"; rm -f "$f"; return 0; fi
    sleep 0.05
  done
  return 1
}
no_calls() { [ -z "$(ls "$calls" 2>/dev/null)" ]; }

# A private home whose default handler for pages and addresses is the opener stand-in.
home() {
  vexa_fresh "$work/$1"
  export XDG_DATA_HOME="$HOME/.local/share"
  mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
  cat >"$XDG_DATA_HOME/applications/vexa-test-opener.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Opener stand-in
Exec=$work/opener %u
MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;
DESKTOP
  cat >"$XDG_CONFIG_HOME/mimeapps.list" <<LIST
[Default Applications]
text/html=vexa-test-opener.desktop
x-scheme-handler/http=vexa-test-opener.desktop
x-scheme-handler/https=vexa-test-opener.desktop
LIST
}

# wait_for COMMAND...: up to 10 s (what the window does, it does when it gets to it).
wait_for() { vexa_until 10 "$@"; }
# The program's visible windows other than the main window.
others() { xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -vx "$vexa_window"; }
# window_named TITLE: sets $dialog to the visible window of the program with that title.
# (Compared by name here: xdotool's --name pattern fails on Chinese titles under LANG=C.)
window_named() {
  local w
  dialog=""
  for w in $(others); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && { dialog=$w; return 0; }
  done
  return 1
}
none_named() { ! window_named "$1"; }
no_others() { [ -z "$(others)" ]; }
dialog_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$dialog" ]; }
# ready TITLE: the dialog is shown and has the keyboard.
ready() {
  wait_for window_named "$1" || return 1
  # Without a window manager nobody hands a new window the keyboard: do what one would.
  dialog_focused || xdotool windowfocus "$dialog" 2>/dev/null
  wait_for dialog_focused || { fail "\"$1\" has no keyboard focus"; return 1; }
  sleep 0.3
}
menu_open() { [ -n "$(others)" ]; }

# from_menu UPS: opens the system menu and picks the item UPS places above its end.
from_menu() {
  vexa_press_button icon
  wait_for menu_open || { fail "no system menu"; return 1; }
  sleep 0.2
  local keys=() _
  for _ in $(seq 1 "$1"); do keys+=(Up); done
  xdotool key "${keys[@]}" Return
}

# about TITLE RIGHTS: About from the menu; its rights line must read RIGHTS.
about() {
  from_menu 2 || return
  if ! ready "$1"; then fail "About gave no window \"$1\" (windows: $(others | tr '\n' ' '))"; return; fi
  # A triple click selects the rights line, which goes to the X selection.
  xdotool mousemove --window "$dialog" 40 114
  sleep 0.2
  xdotool click --repeat 3 --delay 60 1
  line=""
  wait_for selected "$2"
  if [ "$line" = "$2" ]; then ok "About \"$1\": $line"; else fail "About's rights line is \"$line\", expected \"$2\""; fi
  xdotool key Return
  wait_for none_named "$1" || fail "About still open after Return"
}

# selected TEXT: the X selection holds TEXT (sets $line to what it holds).
selected() { line=$(timeout 5 xclip -o -selection primary 2>/dev/null); [ "$line" = "$1" ]; }
# The tool buttons, at client coordinates (for clicks where they must not react).
JOIN_XY="202 206"
EDIT_XY="226 206"

# --- English ------------------------------------------------------------------------------
case=english
home en
rec="$work/en/my recordings"
mkdir -p "$rec"
sox -n -r 44100 -c 2 -b 16 "$rec/Vexa 001.wav" synth 1 sine 440
vexa_write_settings "Dir=$rec/" "Format=0" "Channels=2" "Frequency=44100" "LanguageFile=English.ini"
if vexa_start "$app/vexa-recorder" "$work/en.out"; then
  about About "Copyright (C) $year Quandrel. All rights reserved."

  case=help
  from_menu 4
  if got=$(take_call opened 10); then
    if [ "$got" = "$(printf '1\n%s' "$app/manual/index.html")" ]; then ok "Help opened the manual"; else fail "Help opened: $got"; fi
  else
    fail "Help opened nothing"
  fi
  case=home-page
  from_menu 3
  if got=$(take_call opened 10); then
    if [[ "$got" == $'1\nhttps://'* ]]; then ok "Home page opened ${got#1?}"; else fail "Home page opened: $got"; fi
  else
    fail "Home page opened nothing"
  fi

  # The editor with the first recording selected (the start selects it).
  for row in "yes 108 68" "no 108 108" "escape - -"; do
    read -r answer x y <<<"$row"
    case=editor-$answer
    vexa_press_button edit
    if ! ready Dravena; then fail "no question"; continue; fi
    if [ "$x" = - ]; then
      xdotool key Escape
    else
      xdotool mousemove --window "$dialog" "$x" "$y"
      sleep 0.2
      xdotool click 1
    fi
    if got=$(take_call Dravena 10); then
      case $answer in
        yes) expected=$(printf '1\n%s' "$rec/Vexa 001.wav") ;;
        *) expected=0 ;;
      esac
      if [ "$got" = "$expected" ]; then ok "Dravena got: $(echo "$got" | tr '\n' ' ')"; else fail "Dravena got \"$got\", expected \"$expected\""; fi
    else
      fail "Dravena was not started"
    fi
    wait_for none_named Dravena || fail "the question is still open"
  done

  case=joiner
  vexa_press_button join
  if got=$(take_call Pelmora 10); then
    [ "$got" = 0 ] && ok "pelmora started without arguments" || fail "pelmora got \"$got\""
  else
    fail "pelmora was not started"
  fi

  case=converter-missing
  vexa_press_button convert
  if wait_for menu_open; then
    ok "a box for the missing converter"
    # Without a window manager nobody hands the box the keyboard: do what one would.
    dialog=$(others | head -1)
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    wait_for dialog_focused || fail "the box has no keyboard focus"
    xdotool key Return
    wait_for no_others || fail "the box is still open after Return"
  else
    fail "the missing converter gave no box"
  fi

  case=recording
  vexa_press_button record
  if vexa_wait_file "$rec/Vexa_001.wav" 10; then
    # (disabled buttons show no hover: a plain rest and click)
    for xy in "$JOIN_XY" "$EDIT_XY"; do
      # shellcheck disable=SC2086
      vexa_click $xy
    done
    sleep 1
    if no_calls && no_others; then ok "the tool buttons start nothing while recording"; else fail "while recording: calls $(ls "$calls" | tr '\n' ' '), windows $(others | tr '\n' ' ')"; fi
    vexa_press_button stop
    vexa_wait_closed "$rec/Vexa_001.wav" 20 || fail "Vexa_001.wav is still open 20 s after Stop"
    vexa_press_button join
    if take_call Pelmora 10 >/dev/null; then ok "after Stop the joiner starts again"; else fail "after Stop the joiner did not start"; fi
  else
    fail "Record made no Vexa_001.wav"
  fi
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
else
  fail "no visible window named \"Vexa Recorder\""
fi

# --- Simplified Chinese --------------------------------------------------------------------
case=chinese
home gb
vexa_write_settings "Dir=$rec/" "LanguageFile=ChineseGB.ini"
if vexa_start "$app/vexa-recorder" "$work/gb.out"; then
  about "关于" "版权所有 (C) $year Quandrel。保留所有权利。"
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || fail "exit code $vexa_rc"
else
  fail "no visible window named \"Vexa Recorder\""
fi

# (the English run's output, when something failed)
english_log() { sed 's/^/  en | /' "$work/en.out" 2>/dev/null | tail -20; }
vexa_finish "all About, help and tool cases passed" english_log
