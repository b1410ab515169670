#!/usr/bin/env bash
# Installs what is missing, builds, starts the private sound server and an Xvfb display, runs
# every test (labels unit, gui, audio, e2e) and stops the services again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
private=$(mktemp -d /tmp/vexa-test.XXXXXX)
# shellcheck source=services.sh
source "$root/scripts/services.sh" start "$private"
cleanup() { "$root/scripts/services.sh" stop "$private"; rm -rf "$private"; }
trap cleanup EXIT
set +e
(cd "$build" && ctest --output-on-failure -j2 "$@")
rc=$?

# Second sound server: with VEXA_SOUND_SERVER unset and no ctest arguments, the audio and e2e
# labels run once more against PipeWire's PulseAudio server (scripts/test-pipewire.sh).
# VEXA_SOUND_SERVER=pulseaudio or =pipewire runs the suite on that server only.
if [ -z "${VEXA_SOUND_SERVER:-}" ] && [ $# -eq 0 ]; then
  cleanup; trap - EXIT
  bash "$root/scripts/test-pipewire.sh" "$build" || rc=1
fi
exit $rc
