#!/usr/bin/env bash
# CPU share of one core taken by the real program while it records from its window, per format
# (WAV, MP3, WMA at 44100 Hz stereo; Record and Stop pressed with the mouse), and while the
# window stands idle; the resident memory at the end of each run. The display timer and
# everything else the program does meanwhile are included: the figures are the process's
# utime + stime from /proc/<pid>/stat over the span.
# Measure a Release build:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release && cmake --build build-release --target vexa-recorder
#   bash bench/window_record_cpu.sh build-release/vexa-recorder
# Without an argument it takes build-release/vexa-recorder if there is one, else build/.
# Uses $DISPLAY and $PULSE_SERVER when both are set; otherwise starts the private services of
# scripts/services.sh (Xvfb on $VEXA_BENCH_DISPLAY, default :198) and stops them at the end.
# SECONDS_RECORD (default 20) and SECONDS_IDLE (default 10) set the spans; FORMATS (default
# "WAV MP3 WMA") the formats; RSS_EVERY=N also prints the resident memory every N seconds of
# each recording (a 10-minute run: SECONDS_RECORD=600 RSS_EVERY=60 FORMATS=MP3).
# FILES=folder starts each run on a copy of that folder's recordings (the window lists them)
# instead of an empty folder; hard links are kept, so a large folder of them costs little.
# COMPARE_DISPLAY=1 records each format also with the live display turned off (the
# environment switch VEXA_BENCH_DISPLAY_OFF, for this benchmark only), ROUNDS times each
# (default 2, alternating), and prints what the display adds: the whole process and the GUI
# thread, where the display runs (goal: at most 0.3 % of one core).
# PEERS=1 (the default) also records each format over the same span, from the same source and
# in the same run, with what a user would pick instead, and prints each row with its peer and
# the ratio: WAV against parecord, MP3 against parecord piped to lame and against ffmpeg, WMA
# against ffmpeg (-f pulse). PEERS=0 leaves them out.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"
bin=${1:-}
if [ -z "$bin" ]; then
  bin=$root/build/vexa-recorder
  [ -x "$root/build-release/vexa-recorder" ] && bin=$root/build-release/vexa-recorder
fi
record_s=${SECONDS_RECORD:-20}
idle_s=${SECONDS_IDLE:-10}
rss_every=${RSS_EVERY:-0}
formats=${FORMATS:-WAV MP3 WMA}
compare=${COMPARE_DISPLAY:-0}
peers=${PEERS:-1}
rounds=${ROUNDS:-2}
[ -x "$bin" ] || { echo "no program at $bin"; exit 1; }
bin=$(cd "$(dirname "$bin")" && pwd)/$(basename "$bin")
type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$(dirname "$bin")/CMakeCache.txt" 2>/dev/null || true)

work=$(mktemp -d /tmp/vexa-bench.XXXXXX)
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
  VEXA_DISPLAY=${VEXA_BENCH_DISPLAY:-:198} source "$root/scripts/services.sh" start "$services"
fi

vexa_hold_display

ticks_per_s=$(getconf CLK_TCK)
# sleep_until START SECONDS: sleeps until SECONDS after START (a vexa_now time).
sleep_until() {
  sleep "$(awk -v s="$1" -v d="$2" -v n="$(vexa_now)" 'BEGIN {l = s + d - n; printf "%.3f", (l > 0 ? l : 0)}')"
}
rss_mb() { awk '/^VmRSS:/ {printf "%.1f", $2 / 1024}' "/proc/$vexa_pid/status"; }

# snapshot FILE: one line per thread of the program: "tid utime stime name"; the main (GUI)
# thread is named main(...), the others keep their own names (the capture thread has the
# program's name, the sound server client's event thread is threaded-ml).
snapshot() {
  local task name
  : >"$1"
  for task in /proc/"$vexa_pid"/task/*; do
    name=$(tr ' ' '_' <"$task/comm" 2>/dev/null) || continue
    [ "${task##*/}" = "$vexa_pid" ] && name="main($name)"
    awk -v tid="${task##*/}" -v name="$name" '{sub(/^.*\) /, ""); print tid, $12, $13, name}' \
      "$task/stat" 2>/dev/null >>"$1"
  done
}

# measure SECONDS: sleeps that long and prints the CPU share of one core over the span, split
# into user and system time and by thread (threads under 0.05 % left out).
measure() {
  local t0 t
  snapshot "$work/before"
  t0=$(vexa_now)
  if [ "$rss_every" -gt 0 ]; then
    # The resident memory every RSS_EVERY seconds of the span, written to $work/rss.
    local n
    : >"$work/rss"
    for n in $(seq "$rss_every" "$rss_every" "${1%.*}"); do
      sleep_until "$t0" "$n"
      echo "${n}s $(rss_mb)" >>"$work/rss"
    done
  fi
  sleep_until "$t0" "$1"
  snapshot "$work/after"
  t=$(vexa_since "$t0")
  awk -v s="$t" -v hz="$ticks_per_s" '
    NR == FNR { u[$1] = $2; k[$1] = $3; next }
    {
      du = $2 - u[$1]; dk = $3 - k[$1]; tu += du; tk += dk
      share = 100 * (du + dk) / hz / s
      if (share >= 0.05) threads = threads sprintf("%s%s %.2f", threads == "" ? "" : ", ", $4, share)
    }
    $4 ~ /^main\(/ { gui = 100 * (du + dk) / hz / s }
    END {
      printf "%.2f %% of one core (user %.2f, system %.2f; by thread: %s)", \
        100 * (tu + tk) / hz / s, 100 * tu / hz / s, 100 * tk / hz / s, threads == "" ? "none" : threads
      printf "%.4f %.4f\n", 100 * (tu + tk) / hz / s, gui > last
    }' last="$work/last" "$work/before" "$work/after"
}

# peer_cpu COMMAND: runs a peer recorder (a shell command line, a pipeline included) for the
# span and prints its share of one core, every process of the pipeline counted.
peer_cpu() {
  local pp pids t0 t before after
  bash -c "exec $1" 2>/dev/null &
  pp=$!
  sleep 0.5 # the peer has connected and records
  pids="$pp $(pgrep -P "$pp" | tr '\n' ' ')"
  ticks() { local p; for p in $pids; do awk '{sub(/^.*\) /, ""); print $12 + $13}' "/proc/$p/stat" 2>/dev/null; done | awk '{s += $1} END {print s + 0}'; }
  before=$(ticks)
  t0=$(vexa_now)
  sleep_until "$t0" "$record_s"
  after=$(ticks)
  t=$(vexa_since "$t0")
  # shellcheck disable=SC2086
  kill -INT $pids 2>/dev/null
  wait "$pp" 2>/dev/null
  awk -v a="$before" -v b="$after" -v s="$t" -v hz="$ticks_per_s" 'BEGIN {printf "%.2f", 100 * (b - a) / hz / s}'
}

# peers NAME: the row of the format with its peers, against the program's share in $work/last.
peers() {
  local ours row cmd label share
  ours=$(awk '{print $1}' "$work/last")
  row="recording $name over $record_s s, display running: Vexa Recorder $(printf '%.2f' "$ours") %"
  local -a list
  case $1 in
    WAV) list=("parecord::parecord --rate=44100 --channels=2 --format=s16le --file-format=wav $work/peer.wav") ;;
    MP3) list=("parecord | lame::parecord --raw --rate=44100 --channels=2 --format=s16le | lame --quiet -r -s 44.1 --signed --little-endian --bitwidth 16 -b 128 - $work/peer.mp3"
                "ffmpeg -f pulse::ffmpeg -nostdin -loglevel error -f pulse -sample_rate 44100 -channels 2 -i default -c:a libmp3lame -b:a 128k -y $work/peer-ff.mp3") ;;
    *) list=("ffmpeg -f pulse::ffmpeg -nostdin -loglevel error -f pulse -sample_rate 44100 -channels 2 -i default -c:a wmav2 -b:a 96k -y $work/peer.wma") ;;
  esac
  for entry in "${list[@]}"; do
    label=${entry%%::*}
    cmd=${entry#*::}
    command -v "${cmd%% *}" >/dev/null || { row="$row; $label: not installed"; continue; }
    share=$(peer_cpu "$cmd")
    row="$row; $label $share % (ratio $(awk -v a="$ours" -v b="$share" 'BEGIN {if (b > 0) printf "%.2fx", a / b; else printf "-"}'))"
  done
  rm -f "$work"/peer*
  echo "$row"
}

echo "program: $bin (build type: ${type:-unknown})"
first=1
# record NAME DISPLAY: one recording of the format from the window, with the display "on" or
# "off"; prints its figures and leaves "total gui" shares in $work/last.
record() {
  local name=$1 display=$2 format ext figure size rss
  case $name in WAV) format=0 ext=wav ;; MP3) format=1 ext=mp3 ;; *) format=2 ext=wma ;; esac
  vexa_fresh "$work/$ext-$display"
  rec="$work/$ext-$display/recordings"
  mkdir -p "$rec"
  [ -n "${FILES:-}" ] && cp -a "$FILES"/. "$rec/"
  vexa_write_settings "Format=$format" "Channels=2" "Frequency=44100" "Dir=$rec/"
  if [ "$display" = off ]; then
    VEXA_BENCH_DISPLAY_OFF=1 vexa_start "$bin" "$work/$ext.out" || { echo "$name: no window"; exit 1; }
  else
    vexa_start "$bin" "$work/$ext.out" || { echo "$name: no window"; exit 1; }
  fi
  sleep 1 # start-up done
  if [ "$first" = 1 ]; then
    echo "idle window over $idle_s s: $(measure "$idle_s")"
    first=0
  fi
  vexa_click $VEXA_RECORD_XY
  vexa_wait_file "$rec/Vexa_001.$ext" 3 || { echo "$name: Record made no file"; exit 1; }
  sleep 0.5 # the capture runs
  figure=$(measure "$record_s")
  vexa_click $VEXA_STOP_XY
  sleep 0.5
  size=$(stat -c %s "$rec/Vexa_001.$ext")
  rss=$(rss_mb)
  vexa_end TERM
  [ "$vexa_rc" = 0 ] || echo "$name: exit code $vexa_rc"
  rm -rf "$work/$ext-$display"
  if [ "$compare" = 1 ]; then
    echo "recording $name, display $display, over $record_s s: $figure"
  else
    echo "recording $name over $record_s s (goal < 3 %): $figure"
  fi
  echo "  file $size bytes; resident memory at the end $rss MB"
  if [ "$rss_every" -gt 0 ]; then
    echo "  resident memory while recording, MB: $(tr '\n' ' ' <"$work/rss")"
  fi
}

for name in $formats; do
  if [ "$compare" != 1 ]; then
    record "$name" on
    [ "$peers" = 1 ] && peers "$name"
    continue
  fi
  : >"$work/on"
  : >"$work/off"
  for _ in $(seq 1 "$rounds"); do
    for display in on off; do
      record "$name" "$display"
      cat "$work/last" >>"$work/$display"
    done
  done
  awk -v name="$name" -v n="$rounds" '
    NR == FNR { ton += $1; gon += $2; next }
    { toff += $1; goff += $2 }
    END {
      printf "%s: the display adds %.2f %% of one core to the process (%.2f with, %.2f without), " \
             "%.2f %% to the GUI thread (%.2f with, %.2f without); mean of %d runs each (goal <= 0.3 %%)\n", \
        name, (ton - toff) / n, ton / n, toff / n, (gon - goff) / n, gon / n, goff / n, n
    }' "$work/on" "$work/off"
done
