#!/usr/bin/env bash
# Start-up figures of the real program under an X display: the time from process start to the
# first paint of the main window (median of 10 starts) and the resident memory 1 s after start.
# Measure a Release build:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release && cmake --build build-release --target vexa-recorder
#   bash bench/startup_bench.sh build-release/vexa-recorder
# Several programs (for example a build before and after a change) are measured in one run,
# their starts taking turns, so that each sees the same machine:
#   bash bench/startup_bench.sh old/vexa-recorder build-release/vexa-recorder
# The sound server is $PULSE_SERVER's (or the user's), as for the program itself.
# Uses $DISPLAY, or starts its own Xvfb on $VEXA_BENCH_DISPLAY (default :199). Each start gets a
# private home, settings and runtime folder. The program prints the time of its first paint
# when VEXA_BENCH_FIRST_PAINT is set.
# LISTED (default "0 1000") gives the numbers of recordings in the folder the window lists at
# start, each measured in turn: 0 is an empty folder; otherwise a folder of that many 10 s
# recordings, a third each WAV, MP3 and WMA (made once with ffmpeg, hard links of one file per
# format). The memory figure is that of the first number.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bins=("$@")
[ ${#bins[@]} -gt 0 ] || bins=("$root/build/vexa-recorder")
runs=${RUNS:-10}
for bin in "${bins[@]}"; do [ -x "$bin" ] || { echo "no program at $bin"; exit 1; }; done

work=$(mktemp -d /tmp/vexa-bench.XXXXXX)
xvfb=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null # a start cut short
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=lib.sh
source "$root/bench/lib.sh"
bench_display

read -r -a listed <<<"${LISTED:-0 1000}"
# folder_of N: a folder of N recordings (see above), made on first use.
folder_of() {
  local n=$1 dir="$work/files-$1" i ext
  if [ ! -d "$dir" ]; then
    mkdir -p "$dir" "$work/seeds"
    if [ ! -f "$work/seeds/seed.wma" ]; then
      for ext in wav mp3 wma; do
        local codec=()
        [ "$ext" = mp3 ] && codec=(-c:a libmp3lame -b:a 128k)
        [ "$ext" = wma ] && codec=(-c:a wmav2 -b:a 96k)
        ffmpeg -v error -y -f lavfi -i sine=frequency=440:sample_rate=44100:duration=10 -ac 2 \
          "${codec[@]}" "$work/seeds/seed.$ext" || { echo "ffmpeg could not make the $ext seed"; exit 1; }
      done
    fi
    for i in $(seq 1 "$n"); do
      case $((i % 3)) in 1) ext=wav ;; 2) ext=mp3 ;; *) ext=wma ;; esac
      ln "$work/seeds/seed.$ext" "$(printf '%s/Vexa_%03d.%s' "$dir" "$i" "$ext")"
    done
  fi
  echo "$dir"
}

median() { sort -n | awk '{a[NR]=$1} END {if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }

declare -A paints rss phases
for n in "${listed[@]}"; do [ "$n" -gt 0 ] && folder_of "$n" >/dev/null; done
for i in $(seq 1 "$runs"); do
  for n in "${listed[@]}"; do
  for b in "${!bins[@]}"; do
    bin=${bins[$b]}
    key="$n $b"
    home="$work/$b-$i-$n"
    mkdir -p "$home/run" "$home/Documents"
    chmod 700 "$home/run"
    if [ "$n" -gt 0 ]; then
      mkdir -p "$home/.config/Quandrel"
      printf '[General]\nDir=%s/\n' "$(folder_of "$n")" >"$home/.config/Quandrel/VexaRecorder.ini"
    fi
    start=$(date +%s%6N)
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" VEXA_BENCH_FIRST_PAINT=1 \
      "$bin" >"$home/out" 2>/dev/null &
    pid=$!
    # The program stamps the time of its first paint itself, so how often this looks does not
    # change the figure; it only has to look without competing for the cores (read with bash
    # builtins, no process per look).
    painted=""
    for _ in $(seq 1 400); do
      mapfile -t lines <"$home/out" 2>/dev/null || lines=()
      for line in "${lines[@]}"; do
        [[ $line == "first-paint "* ]] && painted=${line#first-paint }
      done
      [ -n "$painted" ] && break
      sleep 0.01
    done
    [ -n "$painted" ] || { echo "run $i of $bin: no first paint"; kill -9 "$pid"; exit 1; }
    paints[$key]+=" $(( (painted - start) / 1000 ))"
    # Resident memory one second after the start.
    now=$(date +%s%6N)
    wait_us=$(( start + 1000000 - now ))
    [ "$wait_us" -gt 0 ] && sleep "$(awk -v u="$wait_us" 'BEGIN {printf "%.6f", u / 1e6}')"
    rss[$key]+=" $(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")"
    # The phases the program marked on its way to the first paint and just after it.
    phases[$key]+=$(awk -v s="$start" '/^phase / {printf " %s=%.1f", $2, ($3 - s) / 1000}' "$home/out")
    kill -TERM "$pid"
    wait "$pid" || true
    pid=""
  done
  done
done

for b in "${!bins[@]}"; do
  bin=${bins[$b]}
  type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$(dirname "$bin")/CMakeCache.txt" 2>/dev/null || true)
  echo "program: $bin (build type: ${type:-unknown})"
  for n in "${listed[@]}"; do
  key="$n $b"
  echo " $n files in the folder:"
  echo "first paint after start, ms (each run):${paints[$key]}"
  echo "first paint after start, median of $runs: $(printf '%s\n' ${paints[$key]} | median) ms"
  echo "resident memory 1 s after start, median of $runs: $(printf '%s\n' ${rss[$key]} | median | awk '{printf "%.1f", $1 / 1024}') MB"
  # Each phase: the median time after the start at which it ended, and what it took after the
  # phase before it.
  echo "phases of the start-up (median ms after start, and the step from the phase before; first paint above):"
  printf '%s\n' ${phases[$key]} | awk -F= '
    !($1 in n) {order[++k] = $1}
    {n[$1]++; v[$1, n[$1]] = $2}
    END {
      prev = 0
      for (i = 1; i <= k; i++) {
        name = order[i]; c = n[name]
        for (a = 1; a <= c; a++) x[a] = v[name, a]
        for (a = 1; a <= c; a++) for (b2 = a + 1; b2 <= c; b2++) if (x[b2] < x[a]) {t = x[a]; x[a] = x[b2]; x[b2] = t}
        m = (c % 2) ? x[(c + 1) / 2] : (x[c / 2] + x[c / 2 + 1]) / 2
        printf "  %-28s %7.1f  (+%.1f)\n", name, m, m - prev
        prev = m
      }
    }'
  done
done

# The table rows, the programs of this run side by side.
row() { # label, then one figure per program
  printf '%-44s' "$1"; shift
  printf ' | %s' "$@"; echo
}
echo
args=(); for b in "${!bins[@]}"; do args+=("${bins[$b]}"); done
row "figure (median of $runs)" "${args[@]}"
# The memory with files listed shows what reading their lengths brings in (MP3 and WMA lengths
# come through the codec module).
for n in "${listed[@]}"; do
  args=(); for b in "${!bins[@]}"; do args+=("$(printf '%s\n' ${rss["$n $b"]} | median | awk '{printf "%.1f MB", $1 / 1024}')"); done
  label="resident memory 1 s after start"
  [ "$n" -gt 0 ] && label="$label, $n files"
  row "$label" "${args[@]}"
done
for n in "${listed[@]}"; do
  args=(); for b in "${!bins[@]}"; do args+=("$(printf '%s\n' ${paints["$n $b"]} | median) ms"); done
  if [ "$n" -eq 0 ]; then row "launch to first paint" "${args[@]}"
  else row "window painted with $n files listed" "${args[@]}"; fi
done
