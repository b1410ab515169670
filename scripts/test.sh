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
exit $rc
