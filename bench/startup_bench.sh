#!/usr/bin/env bash
# Start-up figures of the real program under an X display: the time from process start to the
# first paint of the main window (median of 10 starts) and the resident memory 1 s after start.
# Measure a Release build:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release && cmake --build build-release --target vexa-recorder
#   bash bench/startup_bench.sh build-release/vexa-recorder
# Uses $DISPLAY, or starts its own Xvfb on $VEXA_BENCH_DISPLAY (default :199). Each start gets a
# private home, settings and runtime folder. The program prints the time of its first paint
# when VEXA_BENCH_FIRST_PAINT is set.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/vexa-recorder}
runs=${RUNS:-10}
[ -x "$bin" ] || { echo "no program at $bin"; exit 1; }
type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$(dirname "$bin")/CMakeCache.txt" 2>/dev/null || true)

work=$(mktemp -d /tmp/vexa-bench.XXXXXX)
xvfb=""
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=${VEXA_BENCH_DISPLAY:-:199}
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
fi

median() { sort -n | awk '{a[NR]=$1} END {if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }

paints=()
rss=()
for i in $(seq 1 "$runs"); do
  home="$work/$i"
  mkdir -p "$home/run"
  chmod 700 "$home/run"
  start=$(date +%s%6N)
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" VEXA_BENCH_FIRST_PAINT=1 \
    "$bin" >"$home/out" 2>/dev/null &
  pid=$!
  painted=""
  for _ in $(seq 1 2000); do
    painted=$(sed -n 's/^first-paint //p' "$home/out")
    [ -n "$painted" ] && break
    sleep 0.002
  done
  [ -n "$painted" ] || { echo "run $i: no first paint"; kill -9 "$pid"; exit 1; }
  paints+=($(( (painted - start) / 1000 )))
  # Resident memory one second after the start.
  now=$(date +%s%6N)
  wait_us=$(( start + 1000000 - now ))
  [ "$wait_us" -gt 0 ] && sleep "$(awk -v u="$wait_us" 'BEGIN {printf "%.6f", u / 1e6}')"
  rss+=($(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"))
  kill -TERM "$pid"
  wait "$pid" || true
done

echo "program: $bin (build type: ${type:-unknown})"
echo "first paint after start, ms (each run): ${paints[*]}"
echo "first paint after start, median of $runs: $(printf '%s\n' "${paints[@]}" | median) ms"
echo "resident memory 1 s after start, median of $runs: $(printf '%s\n' "${rss[@]}" | median | awk '{printf "%.1f", $1 / 1024}') MB"
