#!/usr/bin/env bash
# A corner marker dragged with the mouse lands where it was dropped: corner 3
# (6; 5) dragged 38 px to the right at 10 m per cm is saved as X = 16,05.
source "$(dirname "$0")/lib.sh"
start_app
read -r x y <<<"$(origin "$WID")"
read -r dx dy <<<"$CORNER_3"
x=$((x + dx)) y=$((y + dy))
# One xdotool run: the server takes the press, the moves and the release in
# this order, and the program reads them so.
steps=(mousemove "$x" "$y" mousedown 1)
for dx in 10 20 30 38; do steps+=(mousemove $((x + dx)) "$y"); done
steps+=(mouseup 1)
xdotool "${steps[@]}"
screenshot drag_corner
out="$E2E_TMP/drag.squ"
save_as "$out"
[ "$(line 4 "$out")" = "16,05" ] || fail "X3 is '$(line 4 "$out")'"
[ "$(line 24 "$out")" = "5" ] || fail "Y3 is '$(line 24 "$out")'"
[ "$(line 3 "$out")" = "26,00" ] || fail "X2 changed to '$(line 3 "$out")'"
echo "drag_corner: ok"
