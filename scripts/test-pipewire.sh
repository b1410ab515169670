#!/usr/bin/env bash
# The audio and e2e labels once more, against PipeWire's PulseAudio-compatible server instead
# of PulseAudio (scripts/test.sh runs this after its first pass). Prints the time the pass took.
#   bash scripts/test-pipewire.sh [BUILD_DIR] [more ctest arguments]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
shift || true
private=$(mktemp -d /tmp/vexa-test-pw.XXXXXX)
start=$(date +%s)
VEXA_SOUND_SERVER=pipewire
export VEXA_SOUND_SERVER
# shellcheck source=services.sh
source "$root/scripts/services.sh" start "$private"
cleanup() { "$root/scripts/services.sh" stop "$private"; rm -rf "$private"; }
trap cleanup EXIT
echo "== audio and e2e tests against $(pactl info 2>/dev/null | sed -n 's/^Server Name: //p')"
(cd "$build" && ctest --output-on-failure -L 'audio|e2e' "$@")
rc=$?
echo "== PipeWire pass: $(( $(date +%s) - start )) s, exit $rc"
exit $rc
