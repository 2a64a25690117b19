#!/usr/bin/env bash
# The viewer in a real window: a private X server, the simulated controller on
# loopback, and the zviewer program. Checks the window (title, size, the
# controller's root colour on screen), the save dialog the controller asks for
# (saved once, cancelled once), a clean exit on Ctrl+Q, and exit code 6 with
# "Connection lost" when the controller goes away.
#   view_window_test.sh ZVIEWER ZCONTROLLER_SIM
set -u
ZVIEWER=$1
SIM=$2

source "$(dirname "$0")/xvfb_session.sh"

# start_sim SCRIPT: a controller that runs the script on every connection.
start_sim() {
  local out="$WORK/sim-$1.out"
  "$SIM" --port 0 --password "pw 1" --name "Window Test" --script "$WORK/$1" \
    --log "$WORK/sim.log" >"$out" 2>"$WORK/sim.err" &
  SIM_PID=$!
  wait_for 50 grep -qs "listening on" "$out" || fail "the simulated controller did not start"
  PORT=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$out")
}

# Once the session has started, the controller paints the root surface and
# sends a text file twice: each time the viewer asks where to save it (20134);
# a chosen place is confirmed with 20209, and then the data follows (20135).
cat >"$WORK/session.sim" <<'SCRIPT'
wait 20000
20117 0 i:0 cb:0x3366CC cb:0x3366CC b:0
20134 0 i:7 s:"" s:"" s:"" s:"*.txt"
wait 20209 60000
20135 0 i:5 i:0 i:5 d:68656C6C6F
20134 0 i:8 s:"" s:"" s:"" s:"*.txt"
SCRIPT
echo "wait 20000" >"$WORK/idle.sim"

find_window() { WID=$(xdotool search --name '^Marlo : Window Test$' 2>/dev/null | head -n1); [ -n "$WID" ]; }
find_dialog() { DID=$(xdotool search --name '^Save File$' 2>/dev/null | head -n1); [ -n "$DID" ]; }
# Presses a key in the save dialog, which must then close (the next dialog is
# another window).
dialog_key() {
  wait_for 100 find_dialog || fail "no save dialog"
  xdotool windowfocus --sync "$DID" 2>/dev/null
  xdotool key --clearmodifiers "$1"
  wait_for 50 bash -c "! xdotool getwindowname $DID >/dev/null 2>&1" || fail "the save dialog stayed open after $1"
}

# ---- run 1: the window, its picture, the save dialog, Ctrl+Q ---------------
start_sim session.sim
"$ZVIEWER" --connect "127.0.0.1:$PORT" --password "pw 1" --log-level info 2>"$WORK/viewer1.err" &
VIEWER=$!
wait_for 150 find_window || fail "no window titled 'Marlo : Window Test'"

eval "$(xdotool getwindowgeometry --shell "$WID")"
[ "$WIDTH" = 1024 ] && [ "$HEIGHT" = 576 ] || fail "window is ${WIDTH}x${HEIGHT}, not 1024x576"

# A quarter into the window: outside the save dialog, which opens centred.
PROBE="1x1+$((X + WIDTH / 4))+$((Y + HEIGHT / 4))"
pixel_ok() { import -window root -crop "$PROBE" txt:- 2>/dev/null | grep -q "srgb(51,102,204)"; }
wait_for 100 pixel_ok ||
  fail "the window does not show the root colour #3366CC: $(import -window root -crop "$PROBE" txt:- 2>&1 | tail -n1)"

# The first file is saved where the dialog proposes; the second is cancelled.
dialog_key Return
saved() { [ "$(cat "$HOME/untitled.txt" 2>/dev/null)" = hello ]; }
wait_for 100 saved || fail "the first file was not saved as $HOME/untitled.txt"
dialog_key Escape
sleep 0.5
[ "$(grep -c 'recv .* id 20209 ' "$WORK/sim.log")" = 1 ] || fail "a cancelled save was confirmed to the controller"

quit_with_ctrl_q "$WID" "$VIEWER" "the viewer"
grep -q "zviewer: " "$WORK/viewer1.err" && fail "closing the window printed an error"

# ---- run 2: the controller goes away -------------------------------------
kill "$SIM_PID"
wait "$SIM_PID" 2>/dev/null
start_sim idle.sim
"$ZVIEWER" --connect "127.0.0.1:$PORT" --password "pw 1" --log-level info 2>"$WORK/viewer2.err" &
VIEWER=$!
wait_for 150 find_window || fail "no window on the second run"
kill "$SIM_PID"
wait "$SIM_PID" 2>/dev/null
wait_for 150 bash -c "! kill -0 $VIEWER 2>/dev/null" || fail "the viewer did not notice the lost link"
wait "$VIEWER"
CODE=$?
[ "$CODE" = 6 ] || fail "a lost link exited with $CODE, not 6"
grep -q "Connection lost" "$WORK/viewer2.err" || fail "no 'Connection lost' message"

echo "PASS: window, picture, save dialog, Ctrl+Q and lost link"
