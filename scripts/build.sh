#!/usr/bin/env bash
# Configures and builds into build/ (BUILD_DIR and BUILD_TYPE may override). Arguments go to the
# configuration (-D...). BUILD_TARGETS names the targets to build (default: everything, the
# tests and benchmarks included); the configuration step is skipped when a configured tree is
# there and no arguments are given (the build itself configures again when a CMake file
# changed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
type=${BUILD_TYPE:-RelWithDebInfo}
if [ $# -gt 0 ] || [ ! -f "$build/CMakeCache.txt" ] ||
   [ "$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")" != "$type" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
fi
targets=()
for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
