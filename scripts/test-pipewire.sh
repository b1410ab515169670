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
server=$(pactl info 2>/dev/null | sed -n 's/^Server Name: //p')
# A pass that ran against no server, or against another one, or ran no test, has tested nothing.
if [[ "$server" != *PipeWire* ]]; then
  echo "== PipeWire pass: the private PipeWire did not start (server: '${server:-none}')"
  exit 1
fi
echo "== audio and e2e tests against $server"
(cd "$build" && ctest --output-on-failure --no-tests=error -L 'audio|e2e' "$@")
rc=$?
echo "== PipeWire pass: $(( $(date +%s) - start )) s, exit $rc"
exit $rc
