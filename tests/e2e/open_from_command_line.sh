#!/usr/bin/env bash
# Started with a polygon file, as the desktop does on a double click, the
# program shows the file's path in its title.
source "$(dirname "$0")/lib.sh"
file="$E2E_TMP/участок 1.squ"
write_polygon "$file" 3 owner 0 4 0 -- 0 0 3
start_app "$file"
title="$(window_title "$WID")"
[ "$title" = "Тарвел 3.0   $file" ] || fail "title is '$title'"
screenshot open_from_command_line
echo "open_from_command_line: ok"
