#!/usr/bin/env bash
# Wake-ups per second of the idle main window: the program is started with a private home,
# left alone for a settling time, and the voluntary context switches of each of its threads
# (one per return from a wait: timers, sockets, the sound server) are counted over a window of
# seconds. Prints the median of several runs for the whole process and for the GUI thread, and
# the threads of the last run by name.
#   bash bench/idle_wakeups_bench.sh [program ...]     (default build/vexa-recorder)
# Several programs are measured in turns in one run. Uses $DISPLAY or starts Xvfb on
# $VEXA_BENCH_DISPLAY (default :199); the sound server is $PULSE_SERVER's.
# RUNS (default 5), SETTLE seconds (default 3), SPAN seconds counted (default 10).
# POINTERS (default "away over") lists where the mouse pointer rests, each measured in turn:
# "away" in the screen's bottom-right corner, "over" on the window's Record button once the window
# shows (the skinned controls follow the pointer there), "stay" wherever it is. Needs xdotool
# for "away" and "over".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bins=("$@")
[ ${#bins[@]} -gt 0 ] || bins=("$root/build/vexa-recorder")
runs=${RUNS:-5}
settle=${SETTLE:-3}
span=${SPAN:-10}
for bin in "${bins[@]}"; do [ -x "$bin" ] || { echo "no program at $bin"; exit 1; }; done

work=$(mktemp -d /tmp/vexa-wake.XXXXXX)
xvfb=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=lib.sh
source "$root/bench/lib.sh"
bench_display

median() { sort -n | awk '{a[NR]=$1} END {if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }

# "tid name switches" for every thread of the process.
switches() {
  local t
  for t in /proc/"$1"/task/*; do
    printf '%s %s %s\n' "${t##*/}" "$(tr ' ' '_' < "$t/comm")" \
      "$(awk '/^voluntary_ctxt_switches:/ {print $2}' "$t/status")"
  done 2>/dev/null
}

# The program's main window, once it shows (empty if it does not within 10 s).
window_of() {
  local w="" _
  for _ in $(seq 1 200); do
    w=$(xdotool search --onlyvisible --pid "$1" --name '^Vexa Recorder$' 2>/dev/null | head -1)
    [ -n "$w" ] && break
    sleep 0.05
  done
  echo "$w"
}

read -r -a pointers <<<"${POINTERS:-away over}"
declare -A total gui last
for i in $(seq 1 "$runs"); do
  for where in "${pointers[@]}"; do
  for b in "${!bins[@]}"; do
    bin=${bins[$b]}
    key="$where $b"
    home="$work/$b-$i-$where"
    mkdir -p "$home/run"
    chmod 700 "$home/run"
    [ "$where" = stay ] || xdotool mousemove 2000 2000 2>/dev/null || true
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
      "$bin" >"$home/out" 2>&1 &
    pid=$!
    if [ "$where" = over ]; then
      # The Record button's middle (client 22,141), reached by a move as a user's would be.
      window=$(window_of "$pid")
      [ -n "$window" ] || { echo "run $i of $bin: no window"; exit 1; }
      xdotool mousemove --window "$window" 22 141
    fi
    sleep "$settle"
    switches "$pid" > "$home/before"
    sleep "$span"
    switches "$pid" > "$home/after"
    kill -TERM "$pid"
    wait "$pid" || true
    guipid=$pid
    pid=""
    # Threads alive at both ends; the GUI thread's id is the process id.
    join <(sort "$home/before") <(sort "$home/after") |
      awk -v s="$span" '{d = $5 - $3; printf "%s %s %.1f\n", $1, $2, d / s}' > "$home/rates"
    total[$key]+=" $(awk '{t += $3} END {printf "%.1f", t}' "$home/rates")"
    gui[$key]+=" $(awk -v g="$guipid" '$1 == g {print $3}' "$home/rates")"
    last[$key]="$home/rates"
  done
  done
done

echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
for b in "${!bins[@]}"; do
  bin=${bins[$b]}
  type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$(dirname "$bin")/CMakeCache.txt" 2>/dev/null || true)
  echo "program: $bin (build type: ${type:-unknown})"
  for where in "${pointers[@]}"; do
    key="$where $b"
    echo " pointer $where:"
    echo "  idle wake-ups per second, whole process (each run):${total[$key]}"
    echo "  idle wake-ups per second, whole process, median of $runs: $(printf '%s\n' ${total[$key]} | median)"
    echo "  idle wake-ups per second, GUI thread, median of $runs: $(printf '%s\n' ${gui[$key]} | median)"
    echo "  threads of the last run (wake-ups per second):"
    sort -k3 -n -r "${last[$key]}" | awk '{printf "    %-20s %s\n", $2, $3}'
  done
done
# The table rows: one line per place of the pointer, the programs of this run side by side.
echo
printf '%-48s' "figure (median of $runs)"
for b in "${!bins[@]}"; do printf ' | %s' "${bins[$b]}"; done
echo
for where in "${pointers[@]}"; do
  printf '%-48s' "idle wake-ups per second, pointer $where"
  for b in "${!bins[@]}"; do printf ' | %s' "$(printf '%s\n' ${total["$where $b"]} | median)"; done
  echo
done
