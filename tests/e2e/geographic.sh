#!/usr/bin/env bash
# The geographic window's "Ввести" replaces the main window's polygon.
source "$(dirname "$0")/lib.sh"
start_app
menu "$MENU_TOOLS_X" 9
GK="$(timeout 10 xdotool search --sync --onlyvisible --name "Географич" | head -n1)"
[ -n "$GK" ] || fail "the geographic window did not open"
eval "$(xdotool getwindowgeometry --shell "$GK")"
# "Ввести" sits in the window's top bar.
xdotool mousemove $((X + 229)) $((Y + 19)) click 1
sleep 0.8
screenshot geographic
xdotool windowunmap "$GK" 2>/dev/null || true
out="$E2E_TMP/geo.squ"
save_as "$out"
[ "$(line 1 "$out")" = "20" ] || fail "count is '$(line 1 "$out")'"
[ "$(line 2 "$out")" = "0" ] || fail "X1 is '$(line 2 "$out")'"
[ "$(line 4 "$out")" = "19,88" ] || fail "X3 is '$(line 4 "$out")'"
[ "$(line 23 "$out")" = "20,06" ] || fail "Y2 is '$(line 23 "$out")'"
echo "geographic: ok"
