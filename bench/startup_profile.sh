#!/usr/bin/env bash
# Where the program's start-up spends its CPU, phase by phase: starts the program RUNS times
# (default 6) under `perf record` (call graphs, wall-clock timestamps), each with a private home
# over an empty folder or, with LISTED=N, over N recordings as startup_bench.sh makes them, and
# splits the samples by the phases the program marks (VEXA_BENCH_FIRST_PAINT). Prints the CPU
# time of the main thread and of the other threads in each phase, then for each phase named on
# the command line the shared objects and functions behind it:
#   bash bench/startup_profile.sh build-release/vexa-recorder controls language
# Needs perf (linux-perf) and python3; uses $DISPLAY or starts its own Xvfb on
# $VEXA_BENCH_DISPLAY (default :199). Figures under perf run slower than without it: compare
# phases with each other, and take start-up times from startup_bench.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/vexa-recorder}
shift || true
runs=${RUNS:-6}
listed=${LISTED:-0}
freq=${FREQ:-4000}
[ -x "$bin" ] || { echo "no program at $bin"; exit 1; }
command -v perf >/dev/null || { echo "perf is not installed (linux-perf)"; exit 1; }
work=$(mktemp -d /tmp/vexa-profile.XXXXXX)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=lib.sh
source "$root/bench/lib.sh"
bench_display

folder=""
if [ "$listed" -gt 0 ]; then
  folder="$work/files"
  mkdir -p "$folder"
  for ext in wav mp3 wma; do
    codec=()
    [ "$ext" = mp3 ] && codec=(-c:a libmp3lame -b:a 128k)
    [ "$ext" = wma ] && codec=(-c:a wmav2 -b:a 96k)
    ffmpeg -v error -y -f lavfi -i sine=frequency=440:sample_rate=44100:duration=10 -ac 2 \
      "${codec[@]}" "$work/seed.$ext"
  done
  for i in $(seq 1 "$listed"); do
    case $((i % 3)) in 1) ext=wav ;; 2) ext=mp3 ;; *) ext=wma ;; esac
    ln "$work/seed.$ext" "$(printf '%s/Vexa_%03d.%s' "$folder" "$i" "$ext")"
  done
fi

# One start: until the first paint and a moment after it, then SIGTERM. Its output is kept as
# outs/<pid> for the split.
cat >"$work/one.sh" <<'ONE'
#!/usr/bin/env bash
bin=$1 work=$2 folder=$3
home=$(mktemp -d "$work/home.XXXXXX")
mkdir -p "$home/run" "$home/Documents" "$work/outs"
chmod 700 "$home/run"
if [ -n "$folder" ]; then
  mkdir -p "$home/.config/Quandrel"
  printf '[General]\nDir=%s/\n' "$folder" >"$home/.config/Quandrel/VexaRecorder.ini"
fi
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run VEXA_BENCH_FIRST_PAINT=1 \
  "$bin" >"$home/out" 2>/dev/null &
pid=$!
for _ in $(seq 1 500); do grep -q '^first-paint' "$home/out" && break; sleep 0.02; done
sleep 0.2
kill -TERM "$pid"
wait "$pid" || true
cp "$home/out" "$work/outs/$pid"
rm -rf "$home"
ONE
perf record -q -k CLOCK_REALTIME --call-graph dwarf,32768 -F "$freq" -o "$work/perf.data" -- \
  bash -c 'for _ in $(seq 1 "$1"); do bash "$2/one.sh" "$3" "$2" "$4"; done' _ "$runs" "$work" "$bin" "$folder" \
  >/dev/null 2>&1
perf script -i "$work/perf.data" --comm "$(basename "$bin" | cut -c1-15)" -F comm,pid,tid,time,ip,sym,symoff,dso 2>/dev/null |
  FREQ=$freq python3 "$root/bench/startup_profile.py" "$work/outs" "$@"
