#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 240
# The real program under Xvfb with a private home: it shows one window named "Vexa Recorder"
# of 270 x 358, ends with code 0 on SIGTERM, SIGINT and SIGHUP, and leaves a settings file with
# the defaults. Then the bad input it must survive: a settings file of random bytes (kept aside
# as .bad), a settings location that cannot be written (runs, saves nothing, says nothing), no
# Languages folder, a LanguageFile naming a missing file, a 10 MB language file with a
# 100,000-byte line, and no XDG_RUNTIME_DIR.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
vexa_begin startup

# start PROGRAM: starts it with the case's environment (variables set by the caller) and waits
# for its window; sets $vexa_pid and $window.
start() {
  vexa_start "$1" "$work/$case.out" && { window=$vexa_window; return 0; }
  fail "no visible window named \"Vexa Recorder\""
  return 1
}

# stop SIGNAL: sends it and expects a normal end with code 0.
stop() {
  vexa_end "$1"
  case $vexa_rc in
    0) ;;
    hung) fail "still running 10 s after SIG$1" ;;
    *) fail "exit code $vexa_rc after SIG$1" ;;
  esac
}

# fresh NAME: a private home for one case.
fresh() {
  case=$1
  vexa_fresh "$work/$case"
  settings=$vexa_settings
}

expect_defaults() {
  local expected
  expected=$(printf '%s\n' "[General]" "Channels=2" "Dir=$HOME/Documents/" "FileList=1" "Format=1" \
    "Frequency=44100" "LanguageFile=${1:-English.ini}" "MP3Bitrate=128" "Mixer=0" "OnTop=0" \
    "Spectrum=0" "Version=3.3" "WMABitrate=96")
  [ "$(cat "$settings" 2>/dev/null)" = "$expected" ] || fail "settings file is not the defaults: $(cat "$settings" 2>&1)"
}

# Defaults, and each of the three signals.
for sig in TERM INT HUP; do
  fresh "defaults-$sig"
  start "$bin" || continue
  geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
  [ "$geometry" = "270x358" ] || fail "window is $geometry, not 270x358"
  n=$(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | wc -l)
  [ "$n" -eq 1 ] || fail "$n visible windows instead of 1"
  stop "$sig"
  expect_defaults
done

# Random bytes in place of the settings: defaults, a fresh file, the garbage kept aside.
fresh garbage
mkdir -p "$(dirname "$settings")"
head -c 4096 /dev/urandom >"$settings"
cp "$settings" "$work/garbage.bin"
if start "$bin"; then
  stop TERM
  expect_defaults
  cmp -s "$work/garbage.bin" "$settings.bad" || fail "the unreadable settings were not kept aside"
fi

# A settings location that cannot be written: a file where the folder should be.
fresh unwritable
mkdir -p "$HOME"
echo "not a folder" >"$HOME/.config"
if start "$bin"; then
  sleep 0.3
  n=$(xdotool search --onlyvisible --pid "$vexa_pid" 2>/dev/null | wc -l)
  [ "$n" -eq 1 ] || fail "$n visible windows: something was said"
  stop TERM
  [ "$(cat "$HOME/.config")" = "not a folder" ] || fail "the file in the way was changed"
fi

# No Languages folder beside the program.
fresh nolanguages
mkdir -p "$work/bare"
cp "$bin" "$work/bare/"
if start "$work/bare/vexa-recorder"; then
  stop TERM
  expect_defaults
fi

# LanguageFile names a file that does not exist.
fresh missinglanguage
mkdir -p "$(dirname "$settings")"
printf '[General]\nLanguageFile=Missing.ini\n' >"$settings"
if start "$bin"; then
  stop TERM
  expect_defaults Missing.ini
fi

# A 10 MB language file with a 100,000-byte line.
fresh hugelanguage
mkdir -p "$work/huge/Languages"
cp "$bin" "$work/huge/"
{
  printf '[LanguageProperty]\nName=%s\n[Menu]\nExit=Exit\n' "$(head -c 100000 /dev/zero | tr '\0' N)"
  line=$(head -c 4000 /dev/zero | tr '\0' p)
  for _ in $(seq 1 2600); do printf '[Pad]\nKey=%s\n' "$line"; done
} >"$work/huge/Languages/English.ini"
if start "$work/huge/vexa-recorder"; then
  stop TERM
  expect_defaults
fi

# No XDG_RUNTIME_DIR: the lock lives in the temp folder, and a second start still ends at once.
fresh noruntime
unset XDG_RUNTIME_DIR
if start "$bin"; then
  # (the guard is for a hang: a busy machine may take seconds to start any Qt program)
  timeout 30 "$bin" >/dev/null 2>&1
  rc=$?
  [ "$rc" -eq 0 ] || fail "second instance ended with $rc"
  kill -0 "$vexa_pid" 2>/dev/null || fail "the first instance is gone"
  ls "$TMPDIR"/RunOnlyOneVexaRecorder-*.lock >/dev/null 2>&1 || fail "no lock in the temp folder"
  stop TERM
  expect_defaults
fi

vexa_finish "all start-up cases passed"
