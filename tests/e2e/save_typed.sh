#!/usr/bin/env bash
# A person types "12.5" into the first X field, leaves it, and saves the
# polygon through the menu and the real save dialog: line 2 of the file is
# the field's formatted text.
source "$(dirname "$0")/lib.sh"
start_app
focus "$WID"
click_in "$WID" $FIRST_X_FIELD
xdotool key ctrl+a
xdotool type --delay 30 "12.5"
xdotool key Tab
out="$E2E_TMP/typed.squ"
save_as "$out"
[ "$(line 2 "$out")" = " 12,50" ] || fail "line 2 is '$(line 2 "$out")'"
[ "$(wc -l <"$out")" -eq 42 ] || fail "not 42 lines"
title="$(window_title "$WID")"
[ "$title" = "Тарвел 3.0   $out" ] || fail "title is '$title'"
screenshot save_typed
echo "save_typed: ok"
