#!/usr/bin/env bash
# "Открыть" of a file written by the test shows the file in the window and
# its path in the title.
source "$(dirname "$0")/lib.sh"
file="$E2E_TMP/plot.squ"
write_polygon "$file" 4 e2e 0 30 30 0 -- 0 0 40 40
start_app
menu $CMD_OPEN
file_dialog "$file"
# The title names the file once the program has read it.
poll title_is "$WID" "Тарвел 3.0   $file" || true
title="$(window_title "$WID")"
[ "$title" = "Тарвел 3.0   $file" ] || fail "title is '$title'"
# Saved again, the polygon of the file comes back: 30 x 40 m.
out="$E2E_TMP/again.squ"
save_as "$out"
[ "$(line 1 "$out")" = "4" ] || fail "count is '$(line 1 "$out")'"
[ "$(line 3 "$out")" = " 30,00" ] || fail "X2 is '$(line 3 "$out")'"
[ "$(line 42 "$out")" = "e2e" ] || fail "owner is '$(line 42 "$out")'"
screenshot open_menu
echo "open_menu: ok"
