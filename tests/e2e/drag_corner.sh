#!/usr/bin/env bash
# A corner marker dragged with the mouse lands where it was dropped: corner 3
# (6; 5) dragged 38 px to the right at 10 m per cm is saved as X = 16,05.
source "$(dirname "$0")/lib.sh"
start_app
# The marker of corner 3 lies at (256..261, 651..656) px of the drawing,
# which starts 19 px below the window's top, under the menu bar.
xdotool mousemove 258 672
sleep 0.2
xdotool mousedown 1
for dx in 10 20 30 38; do xdotool mousemove $((258 + dx)) 672; sleep 0.1; done
xdotool mouseup 1
sleep 0.5
screenshot drag_corner
out="$E2E_TMP/drag.squ"
save_as "$out"
[ "$(line 4 "$out")" = "16,05" ] || fail "X3 is '$(line 4 "$out")'"
[ "$(line 24 "$out")" = "5" ] || fail "Y3 is '$(line 24 "$out")'"
[ "$(line 3 "$out")" = "26,00" ] || fail "X2 changed to '$(line 3 "$out")'"
echo "drag_corner: ok"
