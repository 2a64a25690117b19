# Sourced by the window tests: a private X server for this test alone, a work
# folder, and the helpers every window test uses. It skips the test (exit 77)
# when a tool is missing. After sourcing: $WORK, $DISPLAY, and
#   fail TEXT                 prints TEXT and the logs in $WORK, exits 1
#   wait_for TENTHS CMD...    runs CMD every 0.1 s until it succeeds or time is up
#   quit_with_ctrl_q WID PID WHAT
#                             presses Ctrl+Q in window WID; PID must end with 0
# XDG_CACHE_HOME, XDG_CONFIG_HOME and HOME point into $WORK, so that no test
# touches the user's files.

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

WORK=$(mktemp -d)
# Only this shell's own background jobs that still run are stopped.
cleanup() {
  local pid
  for pid in $(jobs -pr); do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  local f
  for f in "$WORK"/*.err "$WORK"/*.out; do [ -s "$f" ] && { echo "--- $f"; tail -n 40 "$f"; }; done
  exit 1
}

wait_for() {
  local tries=$1 i; shift
  for ((i = 0; i < tries; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}

quit_with_ctrl_q() {
  local wid=$1 pid=$2 what=$3 code
  xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool key --clearmodifiers ctrl+q
  wait_for 100 bash -c "! kill -0 $pid 2>/dev/null" || fail "$what did not close on Ctrl+Q"
  wait "$pid"; code=$?
  [ "$code" = 0 ] || fail "closing $what exited with $code"
}

# The server picks a free display number itself.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.err" &
wait_for 100 test -s "$WORK/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$WORK/display")"
unset WAYLAND_DISPLAY
export SDL_VIDEODRIVER=x11
# In a sanitizer build, system libraries' own leaks are not the viewer's.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/window_lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export XDG_CACHE_HOME="$WORK/cache" XDG_CONFIG_HOME="$WORK/config" HOME="$WORK/home"
mkdir -p "$HOME"
