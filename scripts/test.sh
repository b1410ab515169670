#!/usr/bin/env bash
# Installs what is missing, builds, starts the private sound server and an Xvfb display, runs
# every test (labels unit, gui, audio, e2e), then the sanitizer stage (scripts/sanitize.sh in
# build folders of their own), stops the services, and (VEXA_PIPEWIRE_PASS=1) runs the audio and
# e2e labels once more against PipeWire (scripts/test-pipewire.sh). Arguments go to the first
# ctest.
#   VEXA_SANITIZERS  sanitizer builds to run after the suite: "thread" (unit and audio
#                    labels; the default) and/or "address" (every label). "" or "none" skips
#                    them for a quick local run.
#   VEXA_WERROR      ON/OFF: warnings as errors (default ON when CI is set)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${CI:-}" ] && [ "${CI}" != false ]; then
  export VEXA_WERROR=${VEXA_WERROR:-ON}
fi
export VEXA_WERROR=${VEXA_WERROR:-OFF}
sanitizers=${VEXA_SANITIZERS-thread}
[ "$sanitizers" = none ] && sanitizers=""

start=$SECONDS
stage() { echo "== [$(( (SECONDS - start) / 60 ))m$(( (SECONDS - start) % 60 ))s] $*"; }

"$root/scripts/deps.sh"
stage "build"
"$root/scripts/build.sh" -DVEXA_WERROR="$VEXA_WERROR"
build=${BUILD_DIR:-$root/build}
private=$(mktemp -d /tmp/vexa-test.XXXXXX)
# shellcheck source=services.sh
source "$root/scripts/services.sh" start "$private"
cleanup() { "$root/scripts/services.sh" stop "$private"; rm -rf "$private"; }
trap cleanup EXIT
set +e
stage "tests"
(cd "$build" && ctest --output-on-failure -j2 "$@")
rc=$?
for kind in $sanitizers; do
  stage "$kind sanitizer"
  SANITIZE_BUILD_DIR=${build}-$kind "$root/scripts/sanitize.sh" "$kind" || rc=1
done

# Second sound server: with VEXA_PIPEWIRE_PASS=1, VEXA_SOUND_SERVER unset and no ctest
# arguments, the audio and e2e labels run once more against PipeWire's PulseAudio server
# (scripts/test-pipewire.sh). Not by default yet: the watch test's stall case still needs a wider
# margin for PipeWire's longer start and stop delays. VEXA_SOUND_SERVER=pulseaudio or =pipewire runs the suite
# on that server only.
if [ "${VEXA_PIPEWIRE_PASS:-0}" = 1 ] && [ -z "${VEXA_SOUND_SERVER:-}" ] && [ $# -eq 0 ]; then
  cleanup; trap - EXIT
  stage "PipeWire"
  bash "$root/scripts/test-pipewire.sh" "$build" || rc=1
fi
stage "done (exit $rc)"
exit $rc
