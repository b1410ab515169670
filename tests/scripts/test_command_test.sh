#!/usr/bin/env bash
# ctest-label: unit
# ctest-timeout: 60
# scripts/test.sh as a whole: which stages it runs and the exit code it ends with. It runs here
# in a scratch copy of the repository's scripts folder whose helpers (deps, build, services,
# sanitizers, the PipeWire pass) and ctest are stand-ins that log their call and end with the
# code a case asks for, so the script's own decisions are what is tested: the PipeWire pass runs
# by default, after the PulseAudio services are stopped; VEXA_PIPEWIRE_PASS=0, VEXA_SOUND_SERVER
# or ctest arguments leave it out; a failure in any stage makes the exit code non-zero; a bad
# VEXA_PIPEWIRE_PASS is refused before anything is installed or built.
set -uo pipefail
src=${VEXA_SOURCE_DIR:?}
work=$(mktemp -d /tmp/vexa-testcmd.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL [$case]: $*"; failures=$((failures + 1)); }

root=$work/repo
mkdir -p "$root/scripts" "$work/bin"
cp "$src/scripts/test.sh" "$root/scripts/test.sh"
# stub NAME CODE-VARIABLE: a helper that logs "NAME ARGS" and ends with $CODE-VARIABLE (0 unset).
stub() {
  printf '#!/usr/bin/env bash\necho "%s $*" >> "$STUB_LOG"\n%s\nexit ${%s:-0}\n' "$1" "${3:-}" "$2" > "$4"
  chmod +x "$4"
}
stub deps STUB_DEPS_RC "" "$root/scripts/deps.sh"
stub build STUB_BUILD_RC 'mkdir -p "${BUILD_DIR:?}"' "$root/scripts/build.sh"
stub sanitize STUB_SANITIZE_RC "" "$root/scripts/sanitize.sh"
stub pipewire-pass STUB_PW_RC "" "$root/scripts/test-pipewire.sh"
stub ctest STUB_CTEST_RC "" "$work/bin/ctest"
# services.sh is sourced for "start" (a return, not an exit) and run for "stop".
printf '#!/usr/bin/env bash\necho "services $1" >> "$STUB_LOG"\n' > "$root/scripts/services.sh"
chmod +x "$root/scripts/services.sh"

# case | VEXA_PIPEWIRE_PASS (- unset) | VEXA_SOUND_SERVER (- unset) | ctest args | VEXA_SANITIZERS
#      | ctest rc | sanitizer rc | PipeWire pass rc | expected exit (0, nonzero, or a code)
#      | PipeWire pass run (yes/no)
while IFS='|' read -r case pass server args sanitizers ctest_rc san_rc pw_rc expect pw_run; do
  case=$(echo $case) args=$(echo $args)
  [ -z "$case" ] && continue
  log=$work/$case.log
  : > "$log"
  env_args=(STUB_LOG="$log" BUILD_DIR="$work/build" PATH="$work/bin:$PATH"
            STUB_CTEST_RC="$(echo $ctest_rc)" STUB_SANITIZE_RC="$(echo $san_rc)"
            STUB_PW_RC="$(echo $pw_rc)" VEXA_SANITIZERS="$(echo $sanitizers)")
  [ "$(echo $pass)" != - ] && env_args+=(VEXA_PIPEWIRE_PASS="$(echo $pass)")
  [ "$(echo $server)" != - ] && env_args+=(VEXA_SOUND_SERVER="$(echo $server)")
  # shellcheck disable=SC2086
  out=$(env -u VEXA_PIPEWIRE_PASS -u VEXA_SOUND_SERVER -u CI "${env_args[@]}" \
        bash "$root/scripts/test.sh" $args 2>&1)
  rc=$?
  expect=$(echo $expect)
  case "$expect" in
    0) [ "$rc" -eq 0 ] || fail "exit $rc, expected 0: $out" ;;
    nonzero) [ "$rc" -ne 0 ] || fail "exit 0 although a stage failed: $(echo $(cat "$log"))" ;;
    *) [ "$rc" -eq "$expect" ] || fail "exit $rc, expected $expect: $out" ;;
  esac
  ran=no
  grep -q '^pipewire-pass' "$log" && ran=yes
  [ "$ran" = "$(echo $pw_run)" ] || fail "PipeWire pass run: $ran, expected $(echo $pw_run): $(echo $(cat "$log"))"
  if [ "$ran" = yes ]; then
    # The pass gets the build folder, and runs after the PulseAudio services are stopped.
    grep -qx "pipewire-pass $work/build" "$log" || fail "the pass was not given the build folder: $(grep '^pipewire-pass' "$log")"
    [ "$(grep -n -e '^services stop' -e '^pipewire-pass' "$log" | cut -d: -f2 | cut -d' ' -f1 | tr '\n' ' ')" = "services pipewire-pass " ] ||
      fail "the pass did not follow the stop of the PulseAudio services: $(echo $(cat "$log"))"
  fi
  if [ "$expect" = 2 ]; then
    [ ! -s "$log" ] || fail "went on after refusing: $(echo $(cat "$log"))"
    [[ "$out" == *VEXA_PIPEWIRE_PASS* ]] || fail "no word of what was refused: $out"
  else
    grep -qx "ctest --output-on-failure -j2${args:+ $args}" "$log" || fail "ctest not called with the arguments: $(grep '^ctest' "$log")"
    [ "$(grep -c '^services stop' "$log")" -eq 1 ] || fail "services not stopped once: $(echo $(cat "$log"))"
  fi
done <<'CASES'
all pass, by default     | -   | -        |          | none   | 0 | 0 | 0 | 0       | yes
suite fails              | -   | -        |          | none   | 8 | 0 | 0 | nonzero | yes
PipeWire pass fails      | -   | -        |          | none   | 0 | 0 | 8 | nonzero | yes
sanitizer fails          | -   | -        |          | thread | 0 | 1 | 0 | nonzero | yes
asked for               | 1   | -        |          | none   | 0 | 0 | 0 | 0       | yes
left out                 | 0   | -        |          | none   | 0 | 0 | 0 | 0       | no
left out, suite fails    | 0   | -        |          | none   | 8 | 0 | 0 | nonzero | no
one server chosen        | -   | pipewire |          | none   | 0 | 0 | 0 | 0       | no
ctest arguments          | -   | -        | -L unit  | none   | 0 | 0 | 0 | 0       | no
bad value                | yes | -        |          | none   | 0 | 0 | 0 | 2       | no
bad value, number        | 2   | -        |          | none   | 0 | 0 | 0 | 2       | no
CASES

echo "failures: $failures"
[ "$failures" -eq 0 ]
