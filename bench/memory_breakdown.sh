#!/usr/bin/env bash
# Where the resident memory of the running program goes: one start with a private home, and
# after SETTLE seconds (default 2) its /proc/PID/smaps summed by mapping (each shared library,
# font and data file by name; the heap, thread stacks and anonymous mappings by kind), the
# largest TOP (default 25) printed with their resident and private-dirty size, and the totals.
#   bash bench/memory_breakdown.sh [program]      (default build/vexa-recorder)
# Uses $DISPLAY or starts Xvfb on $VEXA_BENCH_DISPLAY (default :199); the sound server is
# $PULSE_SERVER's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/vexa-recorder}
settle=${SETTLE:-2}
top=${TOP:-25}
[ -x "$bin" ] || { echo "no program at $bin"; exit 1; }

work=$(mktemp -d /tmp/vexa-mem.XXXXXX)
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

mkdir -p "$work/run"
chmod 700 "$work/run"
HOME="$work" XDG_CONFIG_HOME="$work/.config" XDG_RUNTIME_DIR="$work/run" "$bin" >"$work/out" 2>&1 &
pid=$!
sleep "$settle"
cp "/proc/$pid/smaps" "$work/smaps"
vmrss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")

# A mapping header has an address range first; its name is the sixth field onwards (empty for
# anonymous memory). Libraries are summed over all their mappings.
awk -v top="$top" -v vmrss="$vmrss" '
  /^[0-9a-f]+-[0-9a-f]+ / {
    name = ""
    for (i = 6; i <= NF; ++i) name = name (i > 6 ? " " : "") $i
    if (name == "") name = "[anonymous]"
    else if (name ~ /^\[stack:/) name = "[thread stacks]"
    next
  }
  /^Rss:/           { rss[name] += $2; total += $2 }
  /^Private_Dirty:/ { dirty[name] += $2; totalDirty += $2 }
  END {
    printf "resident %.1f MiB (VmRSS %.1f MiB), private dirty %.1f MiB, %d mappings by name\n",
           total / 1024, vmrss / 1024, totalDirty / 1024, length(rss)
    printf "%10s %10s  %s\n", "rss KiB", "dirty KiB", "mapping"
    n = 0
    for (k in rss) order[++n] = k
    # selection sort by resident size, largest first (n is small)
    for (i = 1; i <= n; ++i)
      for (j = i + 1; j <= n; ++j)
        if (rss[order[j]] > rss[order[i]]) { t = order[i]; order[i] = order[j]; order[j] = t }
    shown = 0
    for (i = 1; i <= n && i <= top; ++i) {
      printf "%10d %10d  %s\n", rss[order[i]], dirty[order[i]], order[i]
      shown += rss[order[i]]
    }
    if (n > top) printf "%10d %10s  (%d more mappings)\n", total - shown, "", n - top
  }' "$work/smaps"

# The same by kind: the program, Qt, FFmpeg, sound, fonts, other libraries, heap and anonymous.
awk '
  /^[0-9a-f]+-[0-9a-f]+ / {
    name = (NF >= 6) ? $6 : ""
    if (name == "") kind = "anonymous (allocations, thread buffers)"
    else if (name == "[heap]") kind = "heap"
    else if (name ~ /^\[/) kind = "other kernel mappings"
    else if (name ~ /libQt6/) kind = "Qt libraries"
    else if (name ~ /platforms|plugins|qt6/) kind = "Qt plugins"
    else if (name ~ /libav|libsw|libpostproc/) kind = "FFmpeg libraries"
    else if (name ~ /pulse|rtaudio|asound|jack|mp3lame|fftw/) kind = "sound and codec libraries"
    else if (name ~ /fonts|\.ttf|\.otf|\.pcf|fontconfig/) kind = "fonts and font cache"
    else if (name ~ /icu|libicu/) kind = "ICU"
    else if (name ~ /\.so/) kind = "other shared libraries"
    else if (name ~ /vexa-recorder/) kind = "the program"
    else kind = "other files"
    next
  }
  /^Rss:/ { rss[kind] += $2 }
  END {
    print "by kind:"
    for (k in rss) printf "%10d KiB  %s\n", rss[k], k
  }' "$work/smaps" | { read -r head; echo "$head"; sort -rn; }
