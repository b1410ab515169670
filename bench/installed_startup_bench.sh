#!/usr/bin/env bash
# Start-up of the installed program against the build tree's, in one run: installs the build
# into a scratch prefix (cmake --install), then starts both programs alternately, RUNS times
# each, and prints the median time to the first paint and the resident memory of each. The
# installed program finds its language files in <prefix>/share/vexa-recorder, the build tree's
# beside itself; the difference is the cost of that lookup (and of the stripped binary).
#   bash bench/installed_startup_bench.sh [BUILD_DIR]     (default: build; RUNS=10)
# Uses $DISPLAY, or starts its own Xvfb on $VEXA_BENCH_DISPLAY (default :199). Without a sound
# server the program stops at a box before its first paint: run it inside the test services,
#   d=$(mktemp -d); source scripts/services.sh start $d; bash bench/installed_startup_bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${RUNS:-10}
[ -x "$build/vexa-recorder" ] || { echo "no program in $build"; exit 1; }

work=$(mktemp -d /tmp/vexa-bench-installed.XXXXXX)
xvfb=""
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=${VEXA_BENCH_DISPLAY:-:199}
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
fi
cmake --install "$build" --prefix "$work/usr" --strip >/dev/null

median() { sort -n | awk '{a[NR]=$1} END {if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }

# one PROGRAM HOME: prints "first-paint-ms rss-kB" of one start.
one() {
  local bin=$1 home=$2 start painted pid rss
  mkdir -p "$home/run"; chmod 700 "$home/run"
  start=$(date +%s%6N)
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" LANG=C VEXA_BENCH_FIRST_PAINT=1 \
    "$bin" >"$home/out" 2>/dev/null &
  pid=$!
  painted=""
  for _ in $(seq 1 5000); do
    painted=$(sed -n 's/^first-paint //p' "$home/out")
    [ -n "$painted" ] && break
    sleep 0.002
  done
  [ -n "$painted" ] || { echo "$bin: no first paint" >&2; kill -9 "$pid"; return 1; }
  sleep 0.5
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  kill -TERM "$pid"; wait "$pid" || true
  echo "$(( (painted - start) / 1000 )) $rss"
}

declare -a tree_ms tree_rss inst_ms inst_rss
for i in $(seq 1 "$runs"); do
  read -r ms kb < <(one "$build/vexa-recorder" "$work/home-tree-$i"); tree_ms+=("$ms"); tree_rss+=("$kb")
  read -r ms kb < <(one "$work/usr/bin/vexa-recorder" "$work/home-inst-$i"); inst_ms+=("$ms"); inst_rss+=("$kb")
done
# Both read the same language file: the settings each left behind name it.
for kind in tree inst; do
  grep -h '^LanguageFile=' "$work/home-$kind-1/.config/Quandrel/VexaRecorder.ini" 2>/dev/null | sed "s/^/$kind: /" || true
done
mb() { awk '{printf "%.1f", $1 / 1024}'; }
echo "build tree: $build/vexa-recorder"
echo "installed:  $work/usr/bin/vexa-recorder (stripped)"
echo "first paint, ms, build tree (each run): ${tree_ms[*]}"
echo "first paint, ms, installed  (each run): ${inst_ms[*]}"
echo "first paint, median of $runs: build tree $(printf '%s\n' "${tree_ms[@]}" | median) ms, installed $(printf '%s\n' "${inst_ms[@]}" | median) ms"
echo "resident memory after 0.5 s, median: build tree $(printf '%s\n' "${tree_rss[@]}" | median | mb) MB, installed $(printf '%s\n' "${inst_rss[@]}" | median | mb) MB"
