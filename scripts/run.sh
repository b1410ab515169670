#!/usr/bin/env bash
# Installs what is missing, builds what the program needs (the program, its codec module, the
# language files and the manual: no test program, no benchmark) and starts Vexa Recorder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
BUILD_TARGETS=vexa-recorder "$root/scripts/build.sh"
exec "${BUILD_DIR:-$root/build}/vexa-recorder"
