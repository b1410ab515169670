#!/usr/bin/env bash
# Builds the program and its tests under a sanitizer in a build folder of its own and runs the
# chosen labels there. Expects the private services of scripts/services.sh to be running (the
# audio label needs the sound server).
#   scripts/sanitize.sh thread  [ctest label regex, default unit|audio]
#   scripts/sanitize.sh address [ctest label regex, default: every label]
# SANITIZE_BUILD_DIR overrides the build folder (default build-<sanitizer>).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?thread or address}
case "$kind" in
  thread) labels=${2:-unit|audio} ;;
  address) labels=${2:-} ;;
  *) echo "sanitize.sh: unknown sanitizer '$kind'" >&2; exit 2 ;;
esac
build=${SANITIZE_BUILD_DIR:-$root/build-$kind}

# Optimised with debug info: the sanitizers slow the code down several times, and the tests
# of the real-time paths need it to keep up with the sound server.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_SANITIZE="$kind" \
  -DVEXA_BUILD_BENCH=OFF -DVEXA_WERROR="${VEXA_WERROR:-OFF}" ${VEXA_CMAKE_ARGS:-} >/dev/null
# Only the test programs of the chosen labels (all of them when no label is chosen), and only
# those are run: the script tests of a label run no code of ours that the sanitizer could see.
targets=()
tests=()
if [ -n "$labels" ]; then
  for label in $(echo "$labels" | tr '|' ' '); do
    targets+=("vexa_tests_$label")
  done
  for src in "$root"/tests/*/*_test.cpp; do
    label=$(sed -nE 's@.*ctest-label:[[:space:]]*([a-z0-9]+).*@\1@p' "$src" | head -n1)
    echo "${label:-unit}" | grep -qxE "$labels" || continue
    tests+=("$(basename "$(dirname "$src")")_$(basename "$src" .cpp)")
  done
  cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
else
  cmake --build "$build" -j"$(nproc)"
fi

supp=$root/tests/sanitizers
export TSAN_OPTIONS="suppressions=$supp/tsan.supp die_after_fork=0 halt_on_error=1 second_deadlock_stack=1 history_size=4"
export ASAN_OPTIONS="detect_leaks=1 halt_on_error=1 strict_init_order=1"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp print_suppressions=0"
export UBSAN_OPTIONS="suppressions=$supp/ubsan.supp print_stacktrace=1 halt_on_error=1"

# Some kernels place mappings where the thread sanitizer cannot work with them (it aborts with
# "unexpected memory mapping" when vm.mmap_rnd_bits is high); without address randomisation
# every kernel is fine, so run the tests that way when setarch allows it.
runner=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
  runner=(setarch "$(uname -m)" -R)
fi

args=(--output-on-failure -j2)
if [ ${#tests[@]} -gt 0 ]; then
  args+=(-R "^($(IFS='|'; echo "${tests[*]}"))\$")
fi
echo "== tests under the $kind sanitizer${labels:+ (labels $labels)}"
cd "$build"
"${runner[@]+"${runner[@]}"}" ctest "${args[@]}"
