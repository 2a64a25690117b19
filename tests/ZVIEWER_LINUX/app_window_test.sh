#!/usr/bin/env bash
# The viewer as a desktop application under a private X server:
#  1. zviewer --demo: the demo page is on screen, a tap on a tab changes the
#     page, Ctrl+Q ends the program with 0;
#  2. zviewer (the connect window), its locator pointed at a simulated
#     controller that answers discovery on loopback: the controller is listed,
#     choosing it and pressing Connect opens its viewer window; closing the
#     viewer brings the connect window back; Ctrl+Q there quits with 0.
#   app_window_test.sh ZVIEWER ZCONTROLLER_SIM
set -u
ZVIEWER=$1
SIM=$2

source "$(dirname "$0")/xvfb_session.sh"

# The demo's tabs and the pixel that tells its pages apart:
#   tab N X Y / probe N X Y RRGGBB
"$SIM" --demo-layout >"$WORK/layout" 2>"$WORK/layout.err" || fail "no demo layout"
tab_xy() { awk -v n="$1" '$1 == "tab" && $2 == n { print $3, $4 }' "$WORK/layout"; }
probe() { awk -v n="$1" '$1 == "probe" && $2 == n { print $3, $4, $5 }' "$WORK/layout"; }

find_named() { xdotool search --name "$1" 2>/dev/null | head -n1; }
# pixel WID X Y: the window's pixel as RRGGBB.
pixel() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "1x1+$((X + $2))+$((Y + $3))" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}
page_shows() { # WID N
  local px py rgb; read -r px py rgb <<<"$(probe "$2")"
  [ "$(pixel "$1" "$px" "$py")" = "$rgb" ]
}

# ---- 1: the demo -------------------------------------------------------------
"$ZVIEWER" --demo --log-level info >"$WORK/demo.out" 2>"$WORK/demo.err" &
VIEWER=$!
wait_for 150 bash -c "xdotool search --name '^Marlo : Corvin Demo$' >/dev/null 2>&1" ||
  fail "no window titled 'Marlo : Corvin Demo'"
WID=$(find_named '^Marlo : Corvin Demo$')
wait_for 100 page_shows "$WID" 0 || fail "the demo's first page is not on screen"
read -r TX TY <<<"$(tab_xy 1)"
xdotool mousemove --window "$WID" "$TX" "$TY" click 1
wait_for 50 page_shows "$WID" 1 || fail "a tap on the second tab did not change the page"
read -r TX TY <<<"$(tab_xy 3)"
xdotool mousemove --window "$WID" "$TX" "$TY" click 1
wait_for 50 page_shows "$WID" 3 || fail "a tap on the fourth tab did not change the page"
quit_with_ctrl_q "$WID" "$VIEWER" "the demo"

# ---- 2: the connect window -----------------------------------------------------
"$SIM" --port 0 --password "" --name "Hall Controller" --announce 0 \
  >"$WORK/sim.out" 2>"$WORK/sim.err" &
SIM_PID=$!
wait_for 50 grep -qs "announcing on" "$WORK/sim.out" || fail "the simulated controller does not announce itself"
UDP=$(sed -n 's/.*announcing on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$WORK/sim.out")

"$ZVIEWER" --locator "127.0.0.1:$UDP" --log-level info >"$WORK/app.out" 2>"$WORK/app.err" &
APP=$!
wait_for 150 bash -c "xdotool search --name '^Marlo$' >/dev/null 2>&1" || fail "no connect window"
CID=$(find_named '^Marlo$')
wait_for 50 grep -q 'Found "Hall Controller"' "$WORK/app.err" || fail "the announced controller was not listed"
# Window coordinates of the first row of the list and of the Connect button.
ROW_X=100 ROW_Y=58 CONNECT_X=122 CONNECT_Y=371
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
connect_to_row() {
  click "$CID" "$ROW_X" "$ROW_Y"
  sleep 0.3
  click "$CID" "$CONNECT_X" "$CONNECT_Y"
  wait_for 100 bash -c "xdotool search --onlyvisible --name '^Marlo : Hall Controller$' >/dev/null 2>&1" ||
    fail "choosing the listed controller and Connect did not open its viewer"
}
connect_to_row
grep -q "Connection Successful" "$WORK/app.out" || fail "no 'Connection Successful' on stdout"
VID=$(find_named '^Marlo : Hall Controller$')
xdotool windowfocus --sync "$VID" 2>/dev/null
xdotool key --clearmodifiers ctrl+q
wait_for 100 grep -q "Viewer Window Closed..." "$WORK/app.out" || fail "closing the viewer did not return to the connect page"
kill -0 "$APP" 2>/dev/null || fail "closing the viewer ended the application"
wait_for 50 bash -c "xdotool search --onlyvisible --name '^Marlo$' >/dev/null 2>&1" || fail "the connect window did not come back"

# Again, and this time the controller goes away while the viewer is open.
connect_to_row
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
wait_for 100 grep -q "Connection Closed" "$WORK/app.out" || fail "a lost link did not return to the connect page"
wait_for 50 bash -c "xdotool search --onlyvisible --name '^Marlo$' >/dev/null 2>&1" || fail "the connect window did not come back after the lost link"
xdotool search --onlyvisible --name '^Marlo : Hall Controller$' >/dev/null 2>&1 && fail "the viewer window stayed open after the lost link"
# The controller is no longer announced: it leaves the list within about 3 s.
wait_for 50 grep -q 'Lost "Hall Controller"' "$WORK/app.err" || fail "the silent controller stayed in the list"

quit_with_ctrl_q "$CID" "$APP" "the application"
grep -q "Terminating..." "$WORK/app.out" || fail "no 'Terminating...' on stdout"
echo "PASS: demo page and tabs; connect window lists, connects, returns after close and lost link, quits"
