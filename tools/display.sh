# Sourced by the scripts that need an X display (the tests, the benchmarks):
# with none usable, starts an Xvfb of its own on a free number, exports
# DISPLAY and stops it again when the script exits.
xvfb_pid=
stop_own_display() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  trap stop_own_display EXIT
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}
