#!/usr/bin/env bash
# Images and drawn surfaces in a real window: a private X server, the
# simulated controller on loopback replaying a page, and the zviewer program.
# The page holds graphic-store images in the own compressed format and as PNG
# (shown by image surfaces, one inside a mirror, and by a panel), a picture
# sent to an image surface of its own, a gradient, a colour box, a rounded
# rectangle and a row laying out its children. One pixel of each is checked
# on the screen, then the window is closed with Ctrl+Q.
#   image_window_test.sh ZVIEWER ZCONTROLLER_SIM
set -u
ZVIEWER=$1
SIM=$2

source "$(dirname "$0")/xvfb_session.sh"

# Images, as the controller sends them:
#   own format, 2 x 1: a red pixel and a green one (palette of two, two
#   literals, end code);
OWN=0200010001000200FF0000FF00FF00FF5051F0
#   PNG, 2 x 2 RGB: a blue row over a yellow row;
PNG_ROWS=89504E470D0A1A0A0000000D4948445200000002000000020802000000FDD49A73000000104944415478DA636060F80F42FFC1080022EB05FBBDC112BB0000000049454E44AE426082
#   PNG, 64 x 1 RGB: 32 magenta pixels, 32 cyan ones (the panel's picture,
#   stretched over the whole screen);
PNG_PANEL=89504E470D0A1A0A0000000D4948445200000040000000010802000000E10F3F40000000124944415478DA63F8CFF09FA688C6C6FF0700F3627F812FD23A330000000049454E44AE426082
#   PNG, 1 x 1 RGB: orange.
PNG_ORANGE=89504E470D0A1A0A0000000D4948445200000001000000010802000000907753DE0000000C4944415478DA63F8DFC0000004010180FBD7CBF10000000049454E44AE426082

# Surface flags: kind | child records << 8 | alpha 255 << 20.
cat >"$WORK/page.sim" <<SCRIPT
wait 20000
20117 0 i:0 cb:0x202020 cb:0x202020 b:0
20110 0 i:256 i:0 i:10 i:$(( ${#OWN} / 2 )) d:$OWN
20110 0 i:258 i:0 i:5 i:$(( ${#PNG_PANEL} / 2 )) d:$PNG_PANEL
20114 8 i:0 i:10 i:0x0FF00002 sr:20,20,200,100 sr:20,20,200,100 i:0 i:256 i:256 \
  i:0 i:11 i:0x0FF00002 sr:240,20,200,100 sr:240,20,200,100 i:0 i:257 i:257 \
  i:0 i:13 i:0x0FF00019 sr:460,20,120,100 sr:460,20,120,100 i:0x10000 i:258 \
  i:0 i:14 i:0x0FF00003 sr:600,20,100,100 sr:600,20,100,100 i:0 i:0 b:0 \
  i:0 i:20 i:0x0FF00007 sr:20,200,100,100 sr:20,200,100,100 i:0 cb:0xFF0000 cb:0x0000FF cb:0 cb:0xFF0000 cb:0x0000FF cb:0 b:1 \
  i:0 i:22 i:0x0FF00016 sr:140,200,100,100 sr:140,200,100,100 i:0 cb:0xFF0000 b:255 cb:0x00FF00 b:255 cb:0x0000FF b:255 cb:0xFFFFFF b:255 \
  i:0 i:23 i:0x0FF00001 sr:260,200,100,100 sr:260,200,100,100 i:0 cb:0xFFFF00 cb:0xFFFF00 b:30 \
  i:0 i:24 i:0x0FF00109 sr:380,200,200,200 sr:380,200,200,200 i:0 b:128 b:128 w:100 w:100 cb:0 \
    i:25 i:0x0FF00002 sr:20,20,80,80 sr:20,20,80,80 i:0 i:257 i:257 \
  i:0 i:26 i:0x0FF0030A sr:600,200,280,60 sr:600,200,280,60 i:0 w:140 w:140 \
    i:27 i:0x0FF00001 sr:0,0,40,60 sr:0,0,40,60 i:0 cb:0xFF0000 cb:0xFF0000 b:0 \
    i:28 i:0x0FF00001 sr:0,0,60,60 sr:0,0,60,60 i:0 cb:0x00FF00 cb:0x00FF00 b:0 \
    i:29 i:0x0FF00001 sr:0,0,40,60 sr:0,0,40,60 i:0 cb:0x0000FF cb:0x0000FF b:0
20110 0 i:257 i:0 i:5 i:$(( ${#PNG_ROWS} / 2 )) d:$PNG_ROWS
20125 0 i:14 i:5 i:$(( ${#PNG_ORANGE} / 2 )) d:$PNG_ORANGE
SCRIPT

"$SIM" --port 0 --password "pw" --name "Image Test" --script "$WORK/page.sim" \
  --log "$WORK/sim.log" >"$WORK/sim.out" 2>"$WORK/sim.err" &
wait_for 50 grep -qs "listening on" "$WORK/sim.out" || fail "the simulated controller did not start"
PORT=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$WORK/sim.out")

"$ZVIEWER" --connect "127.0.0.1:$PORT" --password "pw" --log-level info 2>"$WORK/viewer.err" &
VIEWER=$!
find_window() { WID=$(xdotool search --name '^Marlo : Image Test$' 2>/dev/null | head -n1); [ -n "$WID" ]; }
wait_for 150 find_window || fail "no window titled 'Marlo : Image Test'"

# The colour at (x, y) of the window as RRGGBB. The window is placed after it
# appears, so its position is asked each time.
pixel() {
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  # The enumeration's header gives the largest value (255 or 65535), the
  # pixel line its channels in parentheses.
  import -window root -crop "1x1+$((X + $1))+$((Y + $2))" txt:- 2>/dev/null |
    sed -n -e 's/^# ImageMagick pixel enumeration: [0-9]*,[0-9]*,\([0-9]*\),.*/\1/p' \
      -e 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    { read -r max && read -r r g b &&
      printf '%02X%02X%02X\n' $((r * 255 / max)) $((g * 255 / max)) $((b * 255 / max)); }
}
# Whether the pixel at (x, y) is within tolerance t of RRGGBB in every channel.
near() {
  local got want=$3 t=$4 c
  got=$(pixel "$1" "$2")
  [ -n "$got" ] || return 1
  for c in 0 2 4; do
    local d=$(( 16#${got:$c:2} - 16#${want:$c:2} ))
    [ "${d#-}" -le "$t" ] || return 1
  done
}

# The picture sent last: once it shows, the page is complete.
wait_for 100 near 650 70 FF8000 3 || fail "the page did not appear: orange picture is $(pixel 650 70)"

# Reflections fade to half strength over the root colour #202020.
bad=""
while read -r x y want t what; do
  near "$x" "$y" "$want" "$t" || bad="$bad
  $what at ($x, $y): $(pixel "$x" "$y"), want $want"
done <<'PROBES'
10 10 202020 2 bare screen
60 70 FF0000 3 own-format image, red pixel
180 70 00FF00 3 own-format image, green pixel
340 30 0000FF 2 PNG sent after its surface, top row
340 110 FFFF00 2 PNG sent after its surface, bottom row
480 70 FF00FF 2 panel over the left half of the screen
560 70 00FFFF 2 panel over the right half
70 201 FF0000 8 gradient, top
70 298 0000FF 8 gradient, bottom
140 200 FF0000 8 colour box, top left
239 299 FFFFFF 8 colour box, bottom right
310 250 FFFF00 2 rounded rectangle
261 201 202020 2 rounded rectangle, cut corner
440 230 0000FF 2 image above the mirror line
440 290 FFFF00 2 image just above the line
440 310 909010 5 reflection just below the line
440 370 101090 5 reflection further down
440 390 202020 2 below the reflection
690 230 FF0000 2 row, first child
740 230 00FF00 2 row, second child
790 230 0000FF 2 row, third child
820 230 202020 2 row, after its children
PROBES
[ -z "$bad" ] || fail "wrong colours:$bad"

quit_with_ctrl_q "$WID" "$VIEWER" "the viewer"
echo "PASS: images and drawn surfaces in a window"
