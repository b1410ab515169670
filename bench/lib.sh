# Shared by the benchmark scripts (sourced, not run).

# Uses $DISPLAY, or starts Xvfb on $VEXA_BENCH_DISPLAY (default :199) and leaves its pid in
# $xvfb for the caller's clean-up.
bench_display() {
  xvfb=""
  [ -n "${DISPLAY:-}" ] && return 0
  export DISPLAY=${VEXA_BENCH_DISPLAY:-:199}
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
}
