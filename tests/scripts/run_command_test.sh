#!/usr/bin/env bash
# ctest-label: unit
# ctest-timeout: 120
# scripts/run.sh builds what the program needs and nothing more. First the script itself, in a
# scratch copy of the scripts folder with deps.sh and cmake as stand-ins that log their calls:
# a first run configures the build folder and builds the target vexa-recorder alone, then starts
# the program; a second run with the folder configured goes straight to that build and the
# program. Then the build graph of the real build folder: everything the target vexa-recorder
# needs (the program, its codec module, the skin art, the language files, the manual) and no
# test program, test support or benchmark.
set -uo pipefail
src=${VEXA_SOURCE_DIR:?}
build=${VEXA_BINARY_DIR:?}
work=$(mktemp -d /tmp/vexa-runcmd.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL [$case]: $*"; failures=$((failures + 1)); }

root=$work/repo
mkdir -p "$root/scripts" "$work/bin" "$work/build"
cp "$src/scripts/run.sh" "$src/scripts/build.sh" "$root/scripts/"
printf '#!/usr/bin/env bash\necho "deps $*" >> "$STUB_LOG"\n' >"$root/scripts/deps.sh"
# cmake: a configuration writes the cache as the real one would; a build logs its arguments.
cat >"$work/bin/cmake" <<'EOF'
#!/usr/bin/env bash
echo "cmake $*" >> "$STUB_LOG"
if [ "$1" != --build ]; then
  for a in "$@"; do
    case "$a" in -DCMAKE_BUILD_TYPE=*) type=${a#*=} ;; esac
  done
  printf 'CMAKE_BUILD_TYPE:STRING=%s\n' "$type" >"$BUILD_DIR/CMakeCache.txt"
fi
EOF
printf '#!/usr/bin/env bash\necho "program $*" >> "$STUB_LOG"\n' >"$work/build/vexa-recorder"
chmod +x "$root/scripts/deps.sh" "$work/bin/cmake" "$work/build/vexa-recorder"

# case | expected calls, in order (; between them)
while IFS='|' read -r case expected; do
  case=$(echo $case)
  log=$work/$case.log
  : >"$log"
  STUB_LOG=$log BUILD_DIR=$work/build PATH="$work/bin:$PATH" bash "$root/scripts/run.sh" >"$work/out" 2>&1 ||
    fail "run.sh ended with $?: $(cat "$work/out")"
  calls=$(sed "s|$root|ROOT|g; s|$work/build|BUILD|g; s|-j[0-9]*|-jN|g" "$log" | paste -sd';' | sed 's/;/; /g')
  calls=$(echo $calls)
  [ "$calls" = "$(echo $expected)" ] || fail "calls: $calls"$'\n'"   expected: $(echo $expected)"
done <<'EOF'
first run  | deps ; cmake -S ROOT -B BUILD -DCMAKE_BUILD_TYPE=RelWithDebInfo; cmake --build BUILD -jN --target vexa-recorder; program
second run | deps ; cmake --build BUILD -jN --target vexa-recorder; program
EOF

# The real build graph of the target: every command that would build it from nothing.
case="build graph"
generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$build/CMakeCache.txt")
case "$generator" in
  Ninja*) ninja -C "$build" -t commands vexa-recorder >"$work/commands" 2>&1 || fail "ninja -t commands" ;;
  *Makefiles) make -C "$build" -n -B vexa-recorder >"$work/commands" 2>&1 || fail "make -n -B vexa-recorder" ;;
  *) fail "no reader for the generator '$generator'" ;;
esac
echo "$case: $(wc -l <"$work/commands") commands"
for needed in src/app/main.cpp src/codecs/module/Entry.cpp vexa-codecs.so 'languages' 'docs/manual'; do
  grep -q -- "$needed" "$work/commands" || fail "building the program does not build $needed"
done
strays=$(grep -oE "(/tests/[a-z_]+/[A-Za-z_]+\.cpp|/bench/[A-Za-z_]+\.cpp|vexa_testsupport|vexa_testdoubles|[a-z]+_[a-z_]+_test\b)" \
         "$work/commands" | sort -u | head -5)
[ -z "$strays" ] || fail "building the program builds tests or benchmarks: $(echo $strays)"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$((failures > 0))"
