#!/usr/bin/env bash
# Builds the Debian package: installs what is missing, builds (Release unless BUILD_TYPE says
# otherwise), runs CPack and prints the package's path.
#   bash scripts/package.sh          -> build-package/vexa-recorder_<version>_<arch>.deb
#   sudo apt-get install ./build-package/vexa-recorder_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-package}
"$root/scripts/deps.sh"
BUILD_DIR=$build BUILD_TYPE=${BUILD_TYPE:-Release} "$root/scripts/build.sh" -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_BENCH=OFF "$@"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/vexa-recorder_*.deb
