#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (into build-fuzz/, or FUZZ_BUILD_DIR) and runs each
# for FUZZ_SECONDS seconds (default 60) on its generated seed corpus. Installs clang and its
# runtime when they are missing. Findings (crash-*, leak-*, timeout-*) land in
# <build>/findings/<target>/; the script fails when any target found something.
#   scripts/fuzz.sh [target ...]     (default: every target)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}

need=()
command -v clang++ >/dev/null || need+=(clang)
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed" \
  || need+=(libclang-rt-14-dev)
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_FUZZ=ON \
  -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_BENCH=OFF ${FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)" --target vexa_fuzz

bash "$root/fuzz/make_seeds.sh" "$build/seeds" >/dev/null
bash "$root/fuzz/make_seeds_library.sh" "$build/seeds-library" >/dev/null
for s in wavheader languagefile settings; do
  mkdir -p "$build/seeds/${s}_fuzz"
  cp -r "$build/seeds-library/$s/." "$build/seeds/${s}_fuzz/"
done
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings" "$build/seeds/$t"
  echo "== $t: ${seconds}s"
  if ! "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$findings/" "$corpus" "$build/seeds/$t" 2>"$build/$t.log"; then
    echo "$t found a fault: see $build/$t.log and $findings/"
    tail -40 "$build/$t.log"
    status=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/$t.log" | tail -2
  fi
done
exit $status
