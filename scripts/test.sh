#!/usr/bin/env bash
# Installs what is missing, builds, starts the private sound server (PulseAudio) and an Xvfb
# display, runs every test (labels unit, gui, audio, e2e), then the sanitizer stage
# (scripts/sanitize.sh in build folders of their own), stops the services, and runs the audio
# and e2e labels once more against PipeWire's PulseAudio server (scripts/test-pipewire.sh).
# A failure in any stage makes the exit code non-zero. Arguments go to the first ctest.
#   VEXA_SANITIZERS  sanitizer builds to run after the suite: "thread" (unit and audio
#                    labels; the default) and/or "address" (every label). "" or "none" skips
#                    them for a quick local run.
#   VEXA_WERROR      ON/OFF: warnings as errors (default ON when CI is set)
#   VEXA_PIPEWIRE_PASS  1 (the default) runs the PipeWire pass, 0 leaves it out. It is left
#                    out too when ctest arguments are given or VEXA_SOUND_SERVER chooses one
#                    server (pulseaudio or pipewire) for the whole suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${CI:-}" ] && [ "${CI}" != false ]; then
  export VEXA_WERROR=${VEXA_WERROR:-ON}
fi
export VEXA_WERROR=${VEXA_WERROR:-OFF}
sanitizers=${VEXA_SANITIZERS-thread}
[ "$sanitizers" = none ] && sanitizers=""
pipewire_pass=${VEXA_PIPEWIRE_PASS:-1}
case "$pipewire_pass" in
  0|1) ;;
  *) echo "VEXA_PIPEWIRE_PASS must be 0 or 1, not '$pipewire_pass'" >&2; exit 2 ;;
esac

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

# Second sound server: the audio and e2e labels once more against PipeWire's PulseAudio server,
# the stack of current desktops, which answers some requests differently (defaults applied a
# moment after they are confirmed, monitor sources described like their sinks, longer delays
# when a capture starts and stops).
if [ "$pipewire_pass" = 1 ] && [ -z "${VEXA_SOUND_SERVER:-}" ] && [ $# -eq 0 ]; then
  cleanup; trap - EXIT
  stage "PipeWire"
  bash "$root/scripts/test-pipewire.sh" "$build" || rc=1
fi
stage "done (exit $rc)"
exit $rc
