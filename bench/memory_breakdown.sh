#!/usr/bin/env bash
# Where the resident memory of the running program goes: one start with a private home, and
# after SETTLE seconds (default 2) its /proc/PID/smaps summed by mapping (each shared library,
# font and data file by name; the heap, thread stacks and anonymous mappings by kind), the
# largest TOP (default 25) printed with their resident and private-dirty size, and the totals.
#   bash bench/memory_breakdown.sh [program]      (default build/vexa-recorder)
# RECORD=WAV, MP3 or WMA then presses Record (44.1 kHz stereo), and after SETTLE seconds more
# prints the same of the recording program and what the take added, mapping by mapping: a
# library the recording brought in shows there with all it holds.
# FILES=folder starts on a copy of that folder's recordings instead of an empty one.
# Uses $DISPLAY or starts Xvfb on $VEXA_BENCH_DISPLAY (default :199); the sound server is
# $PULSE_SERVER's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/vexa-recorder}
settle=${SETTLE:-2}
top=${TOP:-25}
record=${RECORD:-}
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

# shellcheck source=../tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"
vexa_fresh "$work"
rec="$work/recordings"
mkdir -p "$rec"
[ -n "${FILES:-}" ] && cp -a "$FILES"/. "$rec/"
case $record in
  WAV | "") format=0 ;;
  MP3) format=1 ;;
  WMA) format=2 ;;
  *) echo "RECORD is WAV, MP3 or WMA"; exit 1 ;;
esac
vexa_write_settings "Format=$format" "Channels=2" "Frequency=44100" "Dir=$rec/"
vexa_start "$bin" "$work/out" || { echo "no window"; exit 1; }
pid=$vexa_pid
sleep "$settle"
cp "/proc/$pid/smaps" "$work/smaps"
vmrss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")

# summarise SMAPS VMRSS: the mappings by name and by kind.
summarise() {
  # A mapping header has an address range first; its name is the sixth field onwards (empty for
  # anonymous memory). Libraries are summed over all their mappings.
  awk -v top="$top" -v vmrss="$2" '
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
    }' "$1"

  # The same by kind: the program, Qt, FFmpeg, sound, fonts, other libraries, heap and anonymous.
  awk '
    NR == FNR { ffmpegOnly[$0] = 1; next }
    /^[0-9a-f]+-[0-9a-f]+ / {
      name = (NF >= 6) ? $6 : ""
      if (name == "") kind = "anonymous (allocations, thread buffers)"
      else if (name == "[heap]") kind = "heap"
      else if (name ~ /^\[/) kind = "other kernel mappings"
      else if (name ~ /libQt6/) kind = "Qt libraries"
      else if (name ~ /platforms|plugins|qt6/) kind = "Qt plugins"
      else if (name ~ /libav|libsw|libpostproc/) kind = "FFmpeg libraries"
    else if (name in ffmpegOnly) kind = "libraries only FFmpeg needs"
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
    }' "$work/ffmpeg-only" "$1" | { read -r head; echo "$head"; sort -rn; }
}

# by_name SMAPS: "resident-KiB name" per mapping name.
by_name() {
  awk '
    /^[0-9a-f]+-[0-9a-f]+ / {
      name = ""
      for (i = 6; i <= NF; ++i) name = name (i > 6 ? "_" : "") $i
      if (name == "") name = "[anonymous]"
      next
    }
    /^Rss:/ { rss[name] += $2 }
    END { for (k in rss) print rss[k], k }' "$1" | sort -k2
}

# The libraries the codec module (FFmpeg) brings that the program itself does not load.
module=$(dirname "$bin")/vexa-codecs.so
[ -f "$module" ] || module=$(dirname "$bin")/../lib/vexa-recorder/vexa-codecs.so
libs() { ldd "$1" 2>/dev/null | awk '$3 ~ /^\// {print $3}' | xargs -r readlink -f | sort -u; }
if [ -f "$module" ]; then
  comm -13 <(libs "$bin") <(libs "$module") >"$work/ffmpeg-only"
else
  : >"$work/ffmpeg-only"
fi
echo "== after start"
summarise "$work/smaps" "$vmrss"
[ -z "$record" ] && exit 0

# shellcheck disable=SC2086 # the two coordinates
vexa_click $VEXA_RECORD_XY
vexa_wait_file "$rec/Vexa_001.$(echo "$record" | tr 'A-Z' 'a-z')" 5 || { echo "Record made no file"; exit 1; }
sleep "$settle"
cp "/proc/$pid/smaps" "$work/smaps-rec"
echo
echo "== recording $record"
summarise "$work/smaps-rec" "$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")"
echo
echo "== what the take added (KiB, largest first)"
by_name "$work/smaps" >"$work/before"
by_name "$work/smaps-rec" >"$work/during"
awk '
  NR == FNR { before[$2] = $1; next }
  { d = $1 - before[$2]; total += d; if (!($2 in before)) { n++; fresh += $1 }
    if (d != 0) print d, $2 }
  END { printf "%d (all: %d mappings that came with the take hold %d)\n", total, n, fresh > ARGV[1] ".total" }
' "$work/before" "$work/during" | sort -rn | head -n "$top"
echo "total $(cat "$work/before.total")"
# shellcheck disable=SC2086
vexa_click $VEXA_STOP_XY

