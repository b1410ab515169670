#!/usr/bin/env bash
# The README's run command on a fresh clone: the time from `bash scripts/run.sh` to the shown
# window, once on the fresh clone (everything the program needs is built) and once more with
# nothing changed; and what the first run built (targets with a build folder of their own).
# The packages must be installed already (scripts/deps.sh), so that their download is not
# counted. Uses $DISPLAY or starts its own Xvfb.
#   bash bench/run_command_bench.sh [REPOSITORY]   (default: this checkout's committed state)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
repo=${1:-$(cd "$here/.." && pwd)}
work=$(mktemp -d /tmp/vexa-runbench.XXXXXX)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
bench_display
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
git clone -q "$repo" "$work/clone" || { echo "git clone $repo failed"; exit 1; }

# one LABEL: runs scripts/run.sh, prints the seconds to the visible window, and ends the program.
one() {
  local start window="" seconds _
  start=$(date +%s.%N)
  bash "$work/clone/scripts/run.sh" >"$work/$1.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 36000); do
    window=$(xdotool search --onlyvisible --name '^Vexa Recorder$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  seconds=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN {printf "%.1f", b - a}')
  [ -n "$window" ] || { echo "$1: no window; the run's output:"; tail -20 "$work/$1.log"; exit 1; }
  kill "$pid" 2>/dev/null
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  pid=""
  echo "$seconds"
}

first=$(one first) || { echo "$first"; exit 1; }
second=$(one second) || { echo "$second"; exit 1; }
built=$(ls "$work/clone/build/CMakeFiles" | sed -n 's/\.dir$//p' | sort)
tests=$(echo "$built" | grep -cE '_test$|^vexa_testsupport$|^vexa_testdoubles$')
benches=$(echo "$built" | grep -cE '_bench$')
programs=$(find "$work/clone/build" -maxdepth 1 -type f -executable \( -name '*_test' -o -name '*_bench' \) | wc -l)
echo "| run | seconds to the window |"
echo "|---|---|"
echo "| fresh clone | $first |"
echo "| again, nothing changed | $second |"
echo "test or benchmark programs built by the fresh run: $programs (targets configured: $tests tests, $benches benchmarks)"
