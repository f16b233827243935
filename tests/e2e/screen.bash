# Sourced by the end-to-end tests that need a screen.
#
# start_screen WIDTHxHEIGHTxDEPTH: makes the work folder $work, starts Xvfb on
# a free display and exports DISPLAY; on exit every background job stops and
# the work folder goes.
start_screen() {
  work=$(mktemp -d)
  trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}
