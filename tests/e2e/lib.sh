# Shared by the scripts that drive the real program through its window (tests/e2e/*_test.sh,
# bench/window_*.sh). Source it; it defines functions only.
#
#   vexa_begin NAME [sound]     the preamble of a test: needs $DISPLAY (and $PULSE_SERVER with
#                               "sound"); sets $bin (the program) and $work (a scratch folder
#                               removed at exit with the program and the display holder; a
#                               function vexa_at_exit, if the test defines one, runs before the
#                               folder goes), holds the display, sets failures=0
#   fail MESSAGE                counts a failure and prints "FAIL [$case]: MESSAGE" ("FAIL:
#                               MESSAGE" while $case is empty)
#   vexa_finish [PASSED [COMMAND...]]  the end of a test: with failures "N failure(s)", runs
#                               COMMAND (e.g. shows a log) and exits 1; else prints PASSED
#                               (default "PASS") and exits 0
#   vexa_fresh DIR              a private home in DIR: HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR,
#                               TMPDIR; sets $vexa_settings (the settings file's path)
#   vexa_write_settings K=V ... writes the settings file: section [General] with these values
#   vexa_recording_home K=V ... for the case $case: a private home in $work/$case, $rec its
#                               recordings folder (made), and settings of Dir=$rec/ and K=V ...
#   vexa_start PROGRAM LOG      starts it, waits for its visible window; sets $vexa_pid and
#                               $vexa_window; returns 1 when no window shows within 10 s
#   vexa_click X Y              clicks at X,Y inside the window (client coordinates)
#   vexa_point X Y              moves the mouse there and lets it rest (controls poll the cursor)
#   vexa_press                  clicks where the mouse rests
#   vexa_hover CONTROL          moves the mouse onto a button (record, play, stop, mute, source,
#                               close, ...) and waits until it shows that it sees the mouse;
#                               returns 1 when it does not within 10 s
#   vexa_hovered CONTROL        the button shows its hovered picture
#   vexa_press_button CONTROL   vexa_hover, then a click; without the hover a failure, no click
#                               and return 1
#   vexa_focus                  gives the main window the keyboard
#   vexa_end SIGNAL             sends the signal and waits up to 10 s for the end; sets
#                               $vexa_rc (the exit code, or "hung" after a kill -9)
#   vexa_wait_end               the same without a signal
#   vexa_wait_file PATH SECONDS returns 0 as soon as PATH exists
#   vexa_until SECONDS COMMAND... runs COMMAND until it succeeds (returns 0) or SECONDS have
#                               passed (returns 1): a wait for a condition with a hang guard
#   vexa_wait_audio FILE SECONDS returns 0 as soon as FILE (WAV, MP3 or WMA being recorded)
#                               holds audio past its header
#   vexa_holds FILE             the program has FILE open (a take's writer holds its file from
#                               Record until the file is complete)
#   vexa_wait_closed FILE SECONDS returns 0 as soon as the program no longer holds FILE open
#   vexa_take_range RECORD AUDIO STOP DONE   "LOW HIGH": the seconds a take may last (see there)
#   vexa_symbol                 the state symbol the window's display shows
#   vexa_wait_symbol STATES SECONDS  returns 0 as soon as the display shows one of STATES
#                               ("recording|none": a|b|...)
#   vexa_calc EXPRESSION        the value of an arithmetic expression of numbers, to 3 decimals
#   vexa_hold_display           keeps one client connected to $DISPLAY (sets $vexa_holder; kill
#                               it at the end)
#   vexa_find_main              sets $vexa_window to the main window, mapped or not (the first
#                               activation's boxes come before it shows); vexa_viewable: it shows
#   vexa_close_boxes COUNT      closes the program's message boxes one after the other: COUNT
#                               that must come, then any that follow; prints their titles
#   vexa_refresh_listing FILE   makes FILE (a fine WAV) in the folder, presses Refresh and waits
#                               until the list shows it (every box of that Refresh is then up)
#   vexa_off_window, vexa_shot, vexa_refresh_is n|d, vexa_idle, vexa_rows FILE, vexa_listed:
#                               the pointer away; a picture of the window in $work/shot.png and
#                               what it shows of Refresh and the list (see there)
#   vexa_in_range V LO HI       V is a number within LO..HI
#   vexa_boxes                  how many boxes (dialog windows, not hints) are open
#   vexa_seconds FILE           what FFmpeg decodes of FILE, in seconds ("none" if unreadable)
#   vexa_heard SECONDS          "FREQUENCY RMS" of SECONDS of what the speaker plays ("none none"
#                               when the capture gets no such length)
#   vexa_plays FREQ, vexa_silent  the speaker comes to play about FREQ Hz, or falls silent, within
#                               10 s (a failure otherwise); $f and $r: what was heard last
#   vexa_playing FREQ, vexa_quiet  the same for one short stretch, without a failure
#   vexa_sound_stop             takes the private sound server away
#   vexa_sound_start            brings it back and waits until its sources deliver
#
# The round controls of the transport, client coordinates of their centres.
VEXA_RECORD_XY="22 141"
VEXA_PLAY_XY="54 141"
VEXA_STOP_XY="83 141"
# The window's Close button in the title row.
VEXA_CLOSE_XY="254 14"

vexa_begin() {
  bin="${VEXA_BINARY_DIR:?}/vexa-recorder"
  [ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
  if [ "${2:-}" = sound ] && [ -z "${PULSE_SERVER:-}" ]; then
    echo "FAIL: no PULSE_SERVER; run under scripts/test.sh or scripts/services.sh"; exit 1
  fi
  work=$(mktemp -d "/tmp/vexa-$1.XXXXXX")
  vexa_holder=""
  trap vexa_cleanup EXIT
  vexa_hold_display
  failures=0
}

vexa_cleanup() {
  [ -n "${vexa_pid:-}" ] && { kill -9 "$vexa_pid" 2>/dev/null; wait "$vexa_pid" 2>/dev/null; }
  [ -n "${vexa_holder:-}" ] && kill "$vexa_holder" 2>/dev/null
  declare -F vexa_at_exit >/dev/null && vexa_at_exit
  rm -rf "$work"
}

fail() {
  if [ -n "${case:-}" ]; then echo "FAIL [$case]: $*"; else echo "FAIL: $*"; fi
  failures=$((failures + 1))
}

vexa_finish() {
  local passed=${1:-PASS}
  [ $# -gt 0 ] && shift
  if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s)"
    [ $# -gt 0 ] && "$@"
    exit 1
  fi
  echo "$passed"
  exit 0
}

# Xvfb resets itself whenever its last client leaves and refuses connections meanwhile, so a
# program started just after another one ended may fail with "could not connect to display".
vexa_hold_display() {
  xprop -root -spy >/dev/null 2>&1 &
  vexa_holder=$!
  local _
  for _ in $(seq 1 50); do
    xprop -root _NET_SUPPORTED >/dev/null 2>&1 && break
    sleep 0.05
  done
  sleep 0.2
}

vexa_fresh() {
  export HOME="$1/home" XDG_CONFIG_HOME="$1/home/.config"
  export XDG_RUNTIME_DIR="$1/run" TMPDIR="$1/tmp" LANG=C
  unset LC_ALL XDG_DOCUMENTS_DIR QT_QPA_PLATFORM
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  vexa_settings="$XDG_CONFIG_HOME/Quandrel/VexaRecorder.ini"
}

vexa_write_settings() {
  mkdir -p "$(dirname "$vexa_settings")"
  { echo "[General]"; printf '%s\n' "$@"; } >"$vexa_settings"
}

vexa_recording_home() {
  vexa_fresh "$work/$case"
  rec="$work/$case/recordings"
  mkdir -p "$rec"
  vexa_write_settings "$@" "Dir=$rec/"
}

vexa_start() {
  "$1" >"$2" 2>&1 &
  vexa_pid=$!
  vexa_window=""
  local _
  for _ in $(seq 1 200); do
    vexa_window=$(xdotool search --onlyvisible --pid "$vexa_pid" --name '^Vexa Recorder$' 2>/dev/null | head -1)
    [ -n "$vexa_window" ] && return 0
    kill -0 "$vexa_pid" 2>/dev/null || break
    sleep 0.05
  done
  return 1
}

# A control that polls the cursor every 100 ms sees the mouse only after it has rested there.
vexa_point() {
  xdotool mousemove --window "$vexa_window" "$1" "$2"
  sleep 0.3
}

vexa_press() {
  xdotool click 1
}

vexa_click() {
  vexa_point "$1" "$2"
  vexa_press
}

# A button takes a click only once its poll has seen the cursor on it, and then shows its
# hovered picture: waiting for that picture, not for a fixed rest, makes a click count on a busy
# machine too. vexa_control NAME: "KIND X Y WIDTH HEIGHT ART", the button's class (round: drawn
# whole inside the circle of mask_WIDTH; push: its picture centred, key-coloured pixels left
# out), its place in the window and the base name of its pictures in src/skin/art.
vexa_control() {
  case $1 in
    record) echo "round 8 127 28 28 round_record" ;;
    play) echo "round 40 127 28 28 round_play" ;;
    stop) echo "round 73 131 21 21 round_stop" ;;
    previous) echo "round 106 130 21 21 round_previous" ;;
    next) echo "round 133 130 21 21 round_next" ;;
    mute) echo "round 244 122 18 18 round_mute" ;;
    source) echo "round 244 144 18 18 round_source" ;;
    icon) echo "push 4 4 20 20 icon" ;;
    filelist) echo "push 200 4 20 20 filelist" ;;
    refresh) echo "push 56 196 20 20 refresh" ;;
    close) echo "push 244 4 20 20 close" ;;
    join) echo "push 192 196 20 20 join" ;;
    edit) echo "push 216 196 20 20 edit" ;;
    convert) echo "push 240 196 20 20 convert" ;;
    # the speaker slider's slide at the top of its track
    speak-top) echo "push 224 126 12 13 slide12" ;;
    *) return 1 ;;
  esac
}

vexa_hovered() {
  local kind x y w h art bw bh left top picture
  read -r kind x y w h art < <(vexa_control "$1") || return 1
  for picture in "${art}_a" "${art}_da"; do
    picture="${VEXA_SOURCE_DIR:?}/src/skin/art/$picture.png"
    [ -f "$picture" ] || continue
    read -r bw bh < <(identify -format '%w %h\n' "$picture")
    left=0 top=0
    [ "$kind" = push ] && left=$(((w - bw) / 2)) top=$(((h - bh) / 2))
    # Three dumps, one pixel a line: the picture, the circle's mask (or the picture again) and
    # the screen; a pixel counts where the mask is not key-coloured.
    awk -v n=$((bw * bh)) '
      FNR == 1 {file++}
      file == 1 {art[FNR] = $0}
      file == 2 {mask[FNR] = $0}
      file == 3 {screen[FNR] = $0}
      END {
        if (length(screen) != n || length(art) != n || length(mask) != n) exit 1
        for (i = 1; i <= n; i++)
          if (mask[i] != mask[1] && screen[i] != art[i]) exit 1
      }' \
      <(convert "$picture" -depth 8 rgb:- | od -An -v -tu1 -w3) \
      <(if [ "$kind" = round ]; then convert "$(dirname "$picture")/mask_$w.png" -depth 8 rgb:-; else convert "$picture" -depth 8 rgb:-; fi | od -An -v -tu1 -w3) \
      <(import -window "$vexa_window" -crop "${bw}x${bh}+$((x + left))+$((y + top))" +repage -depth 8 rgb:- 2>/dev/null | od -An -v -tu1 -w3) &&
      return 0
  done
  return 1
}

vexa_hover() {
  local kind x y w h _
  read -r kind x y w h _ < <(vexa_control "$1") || { echo "vexa_hover: no control $1" >&2; return 1; }
  xdotool mousemove --window "$vexa_window" $((x + w / 2)) $((y + h / 2))
  vexa_until 10 vexa_hovered "$1"
}

vexa_press_button() {
  vexa_hover "$1" || { fail "the $1 button shows no hover 10 s after the mouse came"; return 1; }
  vexa_press
}

# vexa_focus: the keyboard to the main window (without a window manager nothing has it).
vexa_focus() { xdotool windowfocus --sync "$vexa_window" 2>/dev/null || xdotool windowfocus "$vexa_window"; sleep 0.2; }

vexa_end() {
  kill "-$1" "$vexa_pid" 2>/dev/null
  vexa_wait_end
}

vexa_wait_end() {
  local _
  for _ in $(seq 1 200); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$vexa_pid" 2>/dev/null; then
    kill -9 "$vexa_pid" 2>/dev/null
    wait "$vexa_pid" 2>/dev/null
    vexa_rc=hung
  else
    wait "$vexa_pid"
    vexa_rc=$?
  fi
  vexa_pid=""
}

vexa_wait_file() {
  local _
  for _ in $(seq 1 $(($2 * 50))); do
    [ -e "$1" ] && return 0
    sleep 0.02
  done
  return 1
}

# Seconds since the epoch with microseconds, and the difference of two such times.
vexa_now() { date +%s.%6N; }
vexa_since() { awk -v a="$1" -v b="$(vexa_now)" 'BEGIN {printf "%.3f", b - a}'; }
vexa_calc() { awk "BEGIN {printf \"%.3f\", $1}"; }

vexa_until() {
  local deadline
  deadline=$(awk -v n="${EPOCHREALTIME/./}" -v s="$1" 'BEGIN {printf "%.0f", n + s * 1e6}')
  shift
  until "$@"; do
    [ "${EPOCHREALTIME/./}" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# vexa_header_bytes FILE SIZE: the bytes of a recording of SIZE bytes before its audio, or
# nothing while that is not known yet: the WAV header, nothing in an MP3 (LAME's first frame
# comes with the first audio), in a WMA the ASF header object (its size is at byte 16) and the
# data object's own 50 bytes.
vexa_header_bytes() {
  case $1 in
    *.wav) echo 44 ;;
    *.wma) [ "$2" -ge 24 ] && echo $(($(od -An -tu8 -j16 -N8 "$1" | tr -d ' ') + 50)) ;;
    *) echo 0 ;;
  esac
}

# vexa_has_audio FILE: FILE holds more than its header.
vexa_has_audio() {
  local size header
  size=$(stat -c %s "$1" 2>/dev/null || echo 0)
  header=$(vexa_header_bytes "$1" "$size")
  [ -n "$header" ] && [ "$size" -gt "$header" ]
}
vexa_wait_audio() { vexa_until "$2" vexa_has_audio "$1"; }

# The descriptors of the window's process name the files it holds open; a file removed while
# open reads "PATH (deleted)".
vexa_holds() {
  local want
  want=$(readlink -m "$1")
  # (a descriptor closed while ls reads the list makes ls fail: only what it printed counts)
  { ls -l "/proc/$vexa_pid/fd" 2>/dev/null || true; } |
    awk -v a="-> $want" -v b="-> $want (deleted)" '
      {n = length($0)} substr($0, n - length(a) + 1) == a || substr($0, n - length(b) + 1) == b {found = 1}
      END {exit !found}'
}

vexa_let_go() { ! vexa_holds "$1"; }
vexa_wait_closed() { vexa_until "$2" vexa_let_go "$1"; }

# The state symbol left of the display's counter (11 x 11 pixels at client 51,60 while the
# counter reads mm:ss): idle (a dark green square), playing (a green triangle), play-paused,
# recording (a red disc), record-paused (the disc with two bars), or none (the symbol blinks
# while playing and recording, and is off in odd seconds). A screenshot shows what the window
# painted before it was taken: a symbol seen means its state was reached. "unreadable" when
# no screenshot could be taken.
vexa_symbol() {
  import -window "$vexa_window" -crop 11x11+51+60 +repage -depth 8 rgb:- 2>/dev/null | od -An -v -tu1 -w3 |
    awk '
      {px[NR - 1] = $1 "," $2 "," $3}
      # The glyphs row by row as the program draws them (bit 10 is the left column), and colours.
      function matches(glyph, colour,   g, r, c, bits) {
        split(glyph, g, " ")
        for (r = 0; r < 11; r++) {
          bits = g[r + 1]
          for (c = 10; c >= 0; c--) {
            if ((px[r * 11 + c] == colour) != (bits % 2)) return 0
            bits = int(bits / 2)
          }
        }
        return 1
      }
      END {
        if (NR != 121) { print "unreadable"; exit }
        disc = "448 992 2032 2032 2032 992 448"; triangle = "768 896 960 992 960 896 768"
        shown = "none"
        if (matches("2032 2032 2032 2032 2032 2032 2032 0 0 0 0", "0,128,0")) shown = "idle"
        if (matches(triangle " 0 0 0 0", "0,255,0")) shown = "playing"
        if (matches(triangle " 54 54 54 54", "0,255,0")) shown = "play-paused"
        if (matches(disc " 0 0 0 0", "255,0,0")) shown = "recording"
        if (matches(disc " 27 27 27 27", "255,0,0")) shown = "record-paused"
        print shown
      }'
}

vexa_symbol_is() { [[ "$(vexa_symbol)" =~ ^($1)$ ]]; }
vexa_wait_symbol() { vexa_until "$2" vexa_symbol_is "$1"; }

# vexa_take_range RECORD AUDIO STOP DONE: "LOW HIGH", the seconds a take may last, from four
# vexa_now times: just before Record was pressed, just after the file was seen holding audio,
# just before Stop was pressed (or the take was ended otherwise), and just after the file was
# seen complete. The sound server delivers audio at the pace of the clock, so the take is no
# longer than RECORD..DONE, plus a few blocks of the capture and the encoders' rounding. It
# holds at least what arrived between AUDIO (the capture ran before) and STOP (it ended after),
# less what the server still held at the end (its latency, and what a busy capture thread had
# not read yet). A loaded machine only widens the range.
VEXA_TAKE_SLACK=0.1
VEXA_TAKE_LOSS=0.3
vexa_take_range() {
  awk -v r="$1" -v a="$2" -v s="$3" -v d="$4" -v slack="$VEXA_TAKE_SLACK" -v loss="$VEXA_TAKE_LOSS" \
    'BEGIN {printf "%.3f %.3f\n", s - a - loss, d - r + slack}'
}

# The private sound server of scripts/services.sh lives in the folder above $PULSE_RUNTIME_PATH.
vexa_sound_stop() { "${VEXA_SOURCE_DIR:?}/scripts/services.sh" sound-stop "$(dirname "$PULSE_RUNTIME_PATH")"; }
vexa_sound_start() { "${VEXA_SOURCE_DIR:?}/scripts/services.sh" sound-start "$(dirname "$PULSE_RUNTIME_PATH")"; }

# vexa_heard SECONDS: the rough frequency and the RMS amplitude of SECONDS of what the speaker
# plays (counted in the bytes captured, not on the clock: a busy machine may start the capture
# late), after the capture's first 0.1 s; "none none" when the capture got no such length
# within 10 s.
vexa_heard() {
  local want p got
  want=$(awk -v s="$1" 'BEGIN {printf "%d", (s + 0.1) * 44100 * 4}')
  rm -f "$work/cap.raw"
  parec --device=speaker.monitor --latency-msec=20 --format=s16le --rate=44100 --channels=2 >"$work/cap.raw" &
  p=$!
  vexa_captured() { [ "$(stat -c %s "$work/cap.raw" 2>/dev/null || echo 0)" -ge "$want" ]; }
  vexa_until 10 vexa_captured
  got=$?
  kill "$p"; wait "$p" 2>/dev/null
  if [ "$got" -ne 0 ]; then echo none none; return; fi
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/cap.raw" -n remix 1 trim 0.1 "$1" stat 2>&1 |
    awk '/Rough[ \t]+frequency/ {f=$3} /RMS[ \t]+amplitude/ {r=$3} END {print f+0, r+0}'
}
# A click or a key is taken when the window gets to it: what the speaker does is listened to,
# in short stretches, until it is what the input should bring about (up to 10 s), and only then
# judged.
vexa_playing() { # vexa_playing FREQ: the last stretch heard holds about FREQ Hz
  read -r f r < <(vexa_heard 0.6)
  awk -v f="$f" -v r="$r" -v want="$1" 'BEGIN {exit !(r > 0.05 && f > want*0.95 && f < want*1.05)}'
}
vexa_quiet() { read -r f r < <(vexa_heard 0.6); awk -v r="$r" 'BEGIN {exit !(r == r + 0 && r < 0.01)}'; }
vexa_plays() {
  if vexa_until 10 vexa_playing "$1"; then echo "${case:-}: heard $f Hz at RMS $r"; else
    fail "heard ${f} Hz at RMS ${r} for 10 s, expected about $1 Hz"
  fi
}
vexa_silent() {
  if vexa_until 10 vexa_quiet; then echo "${case:-}: heard RMS $r"; else
    fail "the speaker still plays after 10 s (RMS $r, $f Hz)"
  fi
}

vexa_in_range() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN {exit !(v == v + 0 && v >= lo && v <= hi)}'; }
# vexa_boxes: how many dialog windows of the program are on screen. A hint (tooltip) that comes
# up under a resting mouse is not a box.
vexa_boxes() { vexa_dialogs | wc -l; }
vexa_seconds() {
  local rate channels bytes
  read -r rate channels < <(ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels \
                             -of csv=p=0 "$1" 2>/dev/null | tr ',' ' ')
  [ -n "${rate:-}" ] && [ -n "${channels:-}" ] || { echo none; return; }
  bytes=$(ffmpeg -v error -nostdin -i "$1" -map 0:a:0 -f s16le -acodec pcm_s16le - 2>/dev/null | wc -c)
  awk -v b="$bytes" -v r="$rate" -v c="$channels" 'BEGIN {printf "%.2f", b / (2 * r * c)}'
}

# --- Boxes, the list and Refresh ---

# vexa_next_box: sets $box to a message box of the program on screen (a dialog window: not the
# main window, nor a hint).
vexa_next_box() {
  box=$(vexa_dialogs | head -n 1)
  [ -n "$box" ]
}
# vexa_dialogs: the program's dialog windows on screen, one id a line.
vexa_dialogs() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null); do
    [ "$w" = "$vexa_window" ] && continue
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG && echo "$w"
  done
  return 0
}
vexa_box_gone() { ! xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | grep -qx "$1"; }
# vexa_close_box BOX: Return in the box until it goes; Return again only while the box itself
# still has the keyboard (never into a box that followed it).
vexa_close_box() {
  local _
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$1" 2>/dev/null || return 0
    sleep 0.2
    vexa_box_gone "$1" && return 0
    xdotool key Return
    vexa_until 10 vexa_box_gone "$1" && return 0
  done
  return 1
}
# vexa_close_boxes COUNT: COUNT boxes that must come (each within 30 s: a busy machine may take
# long to show one), then any that come within 2 s of the last (or until ten were closed: they
# come back without end); prints the titles, one a line. A box that Return does not close is
# named in $work/stuck.
vexa_close_boxes() {
  local closed=0 guard
  while [ "$closed" -lt 10 ]; do
    guard=2
    [ "$closed" -lt "$1" ] && guard=30
    vexa_until "$guard" vexa_next_box || break
    closed=$((closed + 1))
    xdotool getwindowname "$box"
    vexa_close_box "$box" || { xdotool getwindowname "$box" >>"$work/stuck"; break; }
  done
}

# The first of the program's windows titled exactly "Vexa Recorder" (a search by name also
# matches the boxes), mapped or not.
vexa_find_main() {
  local w
  for w in $(xdotool search --pid "$vexa_pid" 2>/dev/null | sort -n); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "Vexa Recorder" ] && { vexa_window=$w; return 0; }
  done
  return 1
}
vexa_viewable() { xwininfo -id "$vexa_window" 2>/dev/null | grep -q IsViewable; }

# vexa_off_window: the mouse away from the window, so that no control shows its hover or a hint.
vexa_off_window() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$vexa_window")"
  if [ $((X + WIDTH + 20)) -lt "$(xdotool getdisplaygeometry | cut -d' ' -f1)" ]; then
    xdotool mousemove $((X + WIDTH + 20)) $((Y + 10))
  else
    xdotool mousemove $((X > 20 ? X - 20 : 0)) $((Y + HEIGHT + 10))
  fi
}
# vexa_shot: a picture of the window as it is painted now, in $work/shot.png.
vexa_shot() { import -window "$vexa_window" "$work/shot.png" 2>/dev/null; }
# vexa_refresh_is n|d: the last shot shows Refresh in its usable (n) or disabled (d) picture,
# wherever that picture is not key-coloured.
vexa_refresh_is() {
  local art="${VEXA_SOURCE_DIR:?}/src/skin/art/refresh_$1.png"
  convert "$work/shot.png" -crop 16x16+58+198 +repage "$work/refresh.png" 2>/dev/null &&
    convert "$work/refresh.png" \( "$art" -transparent "$(convert "$art" -format '%[pixel:p{0,0}]' info:)" \) \
      -composite "$work/refresh-art.png" 2>/dev/null &&
    [ "$(compare -metric AE "$work/refresh.png" "$work/refresh-art.png" null: 2>&1)" = 0 ]
}
# vexa_idle: the window is painted, and its library usable (no recording runs).
vexa_idle() { vexa_shot && vexa_refresh_is n; }
# vexa_rows FILE: the list's rows (the list starts at 10,218) in the last shot; vexa_listed: a
# new shot whose rows differ from $work/before.png.
vexa_rows() { convert "$work/shot.png" -crop 240x60+10+218 +repage "$1" 2>/dev/null; }
vexa_rows_changed() {
  vexa_rows "$work/after.png" && [ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1)" != 0 ]
}
vexa_listed() { vexa_shot && vexa_rows_changed; }
# vexa_refresh_listing NEWFILE: presses Refresh with NEWFILE just made in the folder, and waits
# until the list shows it. The listing shows its boxes before the window paints the list again,
# so then every box of this Refresh is on screen (the first of a row of them, which come one by
# one as each is closed).
vexa_refresh_listing() {
  vexa_off_window
  vexa_until 30 vexa_idle || fail "Refresh does not show its usable picture within 30 s"
  vexa_rows "$work/before.png"
  sox -n -r 8000 -c 1 -b 16 "$1" synth 1 sine 440 || fail "sox"
  vexa_hover refresh || fail "Refresh shows no hover 10 s after the mouse came"
  vexa_press
  vexa_off_window
  vexa_until 20 vexa_listed || fail "the list does not show $(basename "$1") 20 s after Refresh"
}
